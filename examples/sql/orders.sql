-- module: Order Tables
-- The tables and procedures behind the order list of a small web shop.
--
-- Every order belongs to one customer and holds one or more order lines.
-- Prices are kept in cents, so that sums stay exact.

-- type: customers
-- One row for each customer who has ever ordered.
--
-- customer_id - the key
-- display_name - the name shown on invoices
CREATE TABLE customers(
    customer_id  INTEGER PRIMARY KEY,
    display_name VARCHAR(80) NOT NULL
);

-- TYPE: orders
-- One row for each order, with one row in order_lines for each article.
CREATE TABLE orders(
    order_id    INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers(customer_id),
    placed_at   TIMESTAMP NOT NULL
);

-- type: order_lines
-- The articles of an order.
--
-- + ++price_cents++ is the price when the order was placed, not today's.
-- + An order holds each article at most once.
CREATE TABLE order_lines(
    order_id    INTEGER NOT NULL REFERENCES orders(order_id),
    article     VARCHAR(20) NOT NULL,
    amount      INTEGER NOT NULL CHECK (amount > 0),
    price_cents INTEGER NOT NULL,
    PRIMARY KEY (order_id, article)
);

-- procedure: place_order
-- Places an order for one article and gives back its number.
--
-- 1. Checks that the customer exists.
-- 2. Adds the order and its line in one transaction.
-- 3. Returns the new order_id in p_order.
CREATE PROCEDURE place_order(IN p_customer INTEGER,
                             IN p_article VARCHAR(20),
                             IN p_amount INTEGER,
                             IN p_price INTEGER,
                             OUT p_order INTEGER)
BEGIN
    INSERT INTO orders (customer_id, placed_at)
        VALUES (p_customer, CURRENT_TIMESTAMP);
    SET p_order = LAST_INSERT_ID();
    INSERT INTO order_lines
        VALUES (p_order, p_article, p_amount, p_price);
END;
