package org.example.store;

import java.util.HashMap;
import java.util.Map;

/**
 * CLASS: Inventory
 * Counts the items of a small warehouse by article number. A count never
 * goes below zero.
 *
 * Typical use:
 * 1. Create one inventory for each warehouse.
 * 2. Call add for every delivery.
 * 3. Call remove for every order.
 */
public class Inventory {
    private final Map<String, Integer> counts = new HashMap<>();

    /**
     * method: add
     * Adds a delivery to the count of one article.
     *
     * article - the article number, for example {{ A-1001 }}
     * amount - how many arrived; zero or more
     */
    public void add(String article, int amount) {
        if (amount < 0) {
            throw new IllegalArgumentException("negative amount");
        }
        counts.merge(article, amount, Integer::sum);
    }

    /**
     * method: remove
     * Takes items out of stock for an order.
     *
     * Returns:
     * the number actually taken, which is less than the amount asked for
     * when the article runs short. ++Never negative.++
     */
    public int remove(String article,
                      int amount) {
        int inStock = counts.getOrDefault(article, 0);
        int taken = Math.min(inStock, Math.max(amount, 0));
        counts.put(article, inStock - taken);
        return taken;
    }

    /**
     * Property: size
     * The number of different articles in stock, including those whose
     * count has dropped to zero.
     */
    public int size() {
        return counts.size();
    }
}
