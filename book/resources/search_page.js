(function () {
    var data = window.tessarelSearchIndex || { snippets: [""], chapters: [] };
    var limit = 200;
    function fold(text) {
        if (text.normalize) {
            text = text.normalize("NFD");
        }
        return text.replace(/[\u0300-\u036f]/g, "").toLowerCase();
    }
    var snippets = data.snippets;
    var foldedSnippets = [];
    for (var s = 0; s < snippets.length; s++) {
        foldedSnippets.push(fold(snippets[s]));
    }
    // Half a surrogate pair, which encodeURIComponent refuses, is the
    // replacement character, as the page shows it.
    function wellFormed(text) {
        return text.replace(/[\ud800-\udbff][\udc00-\udfff]|[\ud800-\udfff]/g, function (unit) {
            return unit.length === 2 ? unit : "\ufffd";
        });
    }
    var entries = [];
    function addChapter(chapter) {
        var page = chapter[0];
        entries.push({ name: chapter[1], key: fold(chapter[1]), snippet: chapter[2], href: page, chapter: true });
        var items = chapter[3];
        for (var i = 0; i + 1 < items.length; i += 2) {
            var name = items[i];
            var anchor;
            if (typeof name === "string") {
                anchor = name.replace(/ /g, "^");
            } else {
                anchor = name[1];
                name = name[0];
            }
            entries.push({ name: name, key: fold(name), snippet: items[i + 1],
                           href: page + "#" + encodeURIComponent(wellFormed(anchor)), chapter: false });
        }
    }
    // A chapter the page cannot read costs its own entries, never the others'.
    for (var c = 0; c < data.chapters.length; c++) {
        try {
            addChapter(data.chapters[c]);
        } catch (error) {
        }
    }
    var box = document.getElementById("SearchBox");
    var list = document.getElementById("SearchResults");
    var status = document.getElementById("SearchStatus");
    var shown = [];
    var selected = -1;
    function containsAll(text, terms) {
        for (var t = 0; t < terms.length; t++) {
            if (text.indexOf(terms[t]) < 0) {
                return false;
            }
        }
        return true;
    }
    // Whether every term is in the name or in the text. Many sections share
    // a text, so each text is searched once per term (known: 1 yes, 2 no).
    function inNameOrText(name, snippet, terms, known) {
        for (var t = 0; t < terms.length; t++) {
            if (name.indexOf(terms[t]) >= 0) {
                continue;
            }
            if (known[t][snippet] === 0) {
                known[t][snippet] = foldedSnippets[snippet].indexOf(terms[t]) >= 0 ? 1 : 2;
            }
            if (known[t][snippet] === 2) {
                return false;
            }
        }
        return true;
    }
    // Names that start with the query, then other names, then texts: the
    // first of them (as many as are shown) and how many there are.
    function find(query) {
        var terms = fold(query).split(/\s+/).filter(function (term) { return term.length > 0; });
        if (terms.length === 0) {
            return null;
        }
        var starts = [], names = [], texts = [], total = 0;
        var known = terms.map(function () { return new Int8Array(snippets.length); });
        for (var e = 0; e < entries.length; e++) {
            var entry = entries[e];
            var found = starts;
            if (containsAll(entry.key, terms)) {
                found = entry.key.lastIndexOf(terms[0], 0) === 0 ? starts : names;
            } else if (inNameOrText(entry.key, entry.snippet, terms, known)) {
                found = texts;
            } else {
                continue;
            }
            total++;
            if (found.length < limit) {
                found.push(entry);
            }
        }
        return { entries: starts.concat(names, texts).slice(0, limit), total: total };
    }
    function select(index) {
        var rows = list.getElementsByTagName("tr");
        if (selected >= 0 && selected < rows.length) {
            rows[selected].className = "SideLink";
        }
        selected = index;
        if (selected >= 0 && selected < rows.length) {
            rows[selected].className = "SideLink SearchSelected";
            if (rows[selected].scrollIntoView) {
                rows[selected].scrollIntoView({ block: "nearest" });
            }
        }
    }
    function show(results) {
        while (list.firstChild) {
            list.removeChild(list.firstChild);
        }
        selected = -1;
        shown = results ? results.entries : [];
        for (var r = 0; r < shown.length; r++) {
            var entry = shown[r];
            var row = document.createElement("tr");
            row.className = "SideLink";
            var cell = document.createElement("td");
            cell.className = "SideLink";
            var link = document.createElement("a");
            link.className = "SideLink";
            link.href = entry.href;
            link.target = "chapter";
            if (entry.chapter) {
                var bold = document.createElement("b");
                bold.textContent = entry.name;
                link.appendChild(bold);
            } else {
                link.textContent = entry.name;
            }
            cell.appendChild(link);
            var text = snippets[entry.snippet];
            if (text) {
                var snippet = document.createElement("div");
                snippet.className = "SearchSnippet";
                snippet.textContent = text;
                cell.appendChild(snippet);
            }
            row.appendChild(cell);
            list.appendChild(row);
        }
        if (!results) {
            status.textContent = "";
        } else if (results.total === 0) {
            status.textContent = "Nothing found.";
        } else if (results.total > limit) {
            status.textContent = results.total + " found, the first " + limit + " shown.";
        } else {
            status.textContent = results.total + " found.";
        }
        if (shown.length > 0) {
            select(0);
        }
    }
    function open(index) {
        if (index >= 0 && index < shown.length) {
            window.open(shown[index].href, "chapter");
        }
    }
    box.addEventListener("input", function () { show(find(box.value)); });
    box.addEventListener("keydown", function (event) {
        if (event.key === "ArrowDown" && selected + 1 < shown.length) {
            select(selected + 1);
            event.preventDefault();
        } else if (event.key === "ArrowUp" && selected > 0) {
            select(selected - 1);
            event.preventDefault();
        } else if (event.key === "Enter") {
            open(selected);
            event.preventDefault();
        }
    });
    // The search alone, for timing it outside a browser.
    window.tessarelSearch = find;
    box.focus();
    if (box.value) {
        show(find(box.value));
    }
})();
