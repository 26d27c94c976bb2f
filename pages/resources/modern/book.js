// The interface of a Modern book (theme, tree, search, keys), written into
// every Modern book as _book.js and into a single Modern page.
"use strict";
(function () {
    var doc = document;
    var root = doc.documentElement;
    var themes = ["light", "dark", "system"];
    var themeNames = { light: "Light", dark: "Dark", system: "System" };

    // localStorage on file:// is shared by every book in Chromium: the keys
    // carry the book's folder. Firefox gives each file its own storage, and a
    // page may forbid it altogether, so it is only ever a second source.
    var folder = location.pathname.replace(/[^\/]*$/, "");
    function stored(key) {
        try {
            return localStorage.getItem("tessarel:" + folder + ":" + key);
        } catch (error) {
            return null;
        }
    }
    function store(key, value) {
        try {
            localStorage.setItem("tessarel:" + folder + ":" + key, value);
        } catch (error) {
        }
    }

    // The state a link carries to the next page, as "?t=OPEN-SCROLL-THEME":
    // OPEN the open chapters' numbers joined by dots, SCROLL the tree's
    // scroll position, THEME l, d or s (system) when the reader chose one.
    function parseState(text) {
        var parts = (text || "").split("-");
        if (parts.length !== 3 || !/^[0-9.]*$/.test(parts[0]) || !/^[0-9]*$/.test(parts[1])) {
            return null;
        }
        var open = parts[0] === "" ? [] : parts[0].split(".").map(Number);
        var theme = { l: "light", d: "dark", s: "system" }[parts[2]] || null;
        return { open: open, scroll: parts[1] === "" ? null : Number(parts[1]), theme: theme };
    }
    function formatState(state) {
        var scroll = state.scroll === null ? "" : String(Math.round(state.scroll));
        return state.open.join(".") + "-" + scroll + "-" + (state.theme ? state.theme.charAt(0) : "");
    }
    var query = {};
    location.search.replace(/^\?/, "").split("&").forEach(function (pair) {
        var at = pair.indexOf("=");
        if (at > 0) {
            try {
                query[pair.slice(0, at)] = decodeURIComponent(pair.slice(at + 1).replace(/\+/g, " "));
            } catch (error) {
            }
        }
    });
    var carried = parseState(query.t) || parseState(stored("state"));
    var fromUrl = parseState(query.t) !== null;

    // ---- Theme: set before the first paint
    var theme = null;
    if (query.theme === "light" || query.theme === "dark") {
        theme = query.theme;
    } else if (carried && carried.theme) {
        theme = carried.theme;
    } else if (themes.indexOf(stored("theme")) >= 0) {
        theme = stored("theme");
    }
    function applyTheme() {
        if (theme === "light" || theme === "dark") {
            root.setAttribute("data-theme", theme);
        } else {
            root.removeAttribute("data-theme");
        }
    }
    applyTheme();
    root.className += (root.className ? " " : "") + "Scripted";

    // ---- Search: exact names, then names that start with the query, then
    // other names, then texts ----------------------------------------------
    function fold(text) {
        if (text.normalize) {
            text = text.normalize("NFD");
        }
        return text.replace(/[\u0300-\u036f]/g, "").toLowerCase();
    }
    // Half a surrogate pair, which encodeURIComponent refuses, is the
    // replacement character.
    function wellFormed(text) {
        return text.replace(/[\ud800-\udbff][\udc00-\udfff]|[\ud800-\udfff]/g, function (unit) {
            return unit.length === 2 ? unit : "\ufffd";
        });
    }
    function anchorHref(page, anchor) {
        return page + "#" + encodeURIComponent(wellFormed(anchor));
    }
    function makeEntry(name, snippet, href, chapter, text) {
        snippet = snippet || "";
        return { name: name, key: fold(name), snippet: snippet, text: text === undefined ? fold(snippet) : text,
                 href: href, chapter: chapter };
    }
    // The entries of the book's search index (the format the search page reads).
    function indexEntries(data) {
        var entries = [];
        var snippets = data.snippets || [""];
        // Many sections share a text: each is folded once.
        var folded = snippets.map(function (snippet) { return fold(String(snippet)); });
        function add(name, snippet, href, chapter) {
            entries.push(makeEntry(name, snippets[snippet], href, chapter, folded[snippet] || ""));
        }
        (data.chapters || []).forEach(function (chapter) {
            try {
                add(chapter[1], chapter[2], chapter[0], true);
                var items = chapter[3];
                for (var i = 0; i + 1 < items.length; i += 2) {
                    var name = items[i];
                    var anchor = typeof name === "string" ? name.replace(/ /g, "^") : name[1];
                    name = typeof name === "string" ? name : name[0];
                    add(name, items[i + 1], anchorHref(chapter[0], anchor), false);
                }
            } catch (error) {
                // A chapter the page cannot read costs its own entries only.
            }
        });
        return entries;
    }
    // Without an index the tree's names are still searchable.
    function treeEntries(book) {
        var entries = [];
        book.chapters.forEach(function (chapter) {
            entries.push(makeEntry(chapter[1], chapter.text, chapter[0], true));
            var sections = chapter[2] || [];
            for (var i = 0; i + 1 < sections.length; i += 2) {
                entries.push(makeEntry(sections[i], (chapter.texts || [])[i / 2],
                                       anchorHref(chapter[0], sections[i + 1]), false));
            }
        });
        return entries;
    }
    function find(entries, text, limit) {
        var words = fold(text).split(/\s+/).filter(function (word) { return word !== ""; });
        if (words.length === 0) {
            return [];
        }
        var whole = words.join(" ");
        var groups = [[], [], [], []];
        entries.forEach(function (entry) {
            var inName = words.every(function (word) { return entry.key.indexOf(word) >= 0; });
            var group;
            if (entry.key === whole) {
                group = 0;
            } else if (inName) {
                group = entry.key.lastIndexOf(words[0], 0) === 0 ? 1 : 2;
            } else if (words.every(function (word) {
                return entry.key.indexOf(word) >= 0 || entry.text.indexOf(word) >= 0;
            })) {
                group = 3;
            } else {
                return;
            }
            groups[group].push(entry);
        });
        return groups[0].concat(groups[1], groups[2], groups[3]).slice(0, limit);
    }

    // ---- The page, once parsed
    function start() {
        var body = doc.body;
        var kind = body.getAttribute("data-kind") || "chapter";
        var page = body.getAttribute("data-page") || "";
        var tree = doc.getElementById("tree");
        var content = doc.getElementById("content");
        var toggle = doc.querySelector(".TreeToggle");
        var themeButton = doc.querySelector(".ThemeToggle");
        var searchBox = doc.querySelector(".SearchBox");
        var input = doc.getElementById("search");
        var results = doc.getElementById("search-results");
        var book = kind === "single" ? pageBook() : window.tessarelBook;
        var open = [];
        var current = -1;
        // The pager names the neighbours by their files, as a page is written
        // before they are built: the data knows their titles.
        if (book && kind !== "single") {
            Array.prototype.forEach.call(doc.querySelectorAll(".Pager a[rel]"), function (link) {
                book.chapters.forEach(function (chapter) {
                    if (chapter[0] === decodeURIComponent(link.getAttribute("href"))) {
                        link.textContent = chapter[1];
                    }
                });
            });
        }

        // The tree of a single page: its own sections.
        function pageBook() {
            var sections = [];
            var texts = [];
            var headings = content ? content.querySelectorAll(".Section h3") : [];
            for (var h = 0; h < headings.length; h++) {
                var anchor = headings[h].querySelector("a[name]");
                if (anchor) {
                    sections.push(headingText(headings[h]), anchor.getAttribute("name"));
                    var text = headings[h].parentNode.querySelector(".SectionText");
                    texts.push(text ? text.textContent.replace(/\s+/g, " ").trim().slice(0, 120) : "");
                }
            }
            var title = content ? content.querySelector("h1") : null;
            var chapter = [page, title ? headingText(title) : doc.title, sections];
            chapter.texts = texts;
            return { title: doc.title, home: page, chapters: [chapter] };
        }
        function headingText(heading) {
            var copy = heading.cloneNode(true);
            var drop = copy.querySelectorAll(".Permalink, .ProjectTitle");
            for (var d = 0; d < drop.length; d++) {
                drop[d].parentNode.removeChild(drop[d]);
            }
            return copy.textContent.replace(/\s+/g, " ").trim();
        }

        // The state this page hands on: open branches, tree scroll, theme.
        function currentState() {
            return { open: open.slice().sort(function (a, b) { return a - b; }),
                     scroll: tree ? tree.scrollTop : null, theme: theme };
        }
        function saveState() {
            store("state", formatState(currentState()));
        }
        // A page of this book, not this page itself, nor a file of another kind.
        function isBookPage(url) {
            return url.protocol === location.protocol && url.host === location.host &&
                   url.pathname.replace(/[^\/]*$/, "") === folder && /\.html?$/i.test(url.pathname) &&
                   url.pathname !== location.pathname;
        }
        function carry(href) {
            var url = new URL(href, location.href);
            if (kind === "single" || !isBookPage(url)) {
                return href;
            }
            url.search = "?t=" + formatState(currentState());
            return url.href;
        }
        function follow(href) {
            saveState();
            location.href = carry(href);
        }
        function onLinkClick(event) {
            var link = event.target.closest ? event.target.closest("a[href]") : null;
            if (link && !link.hasAttribute("download") && (!link.target || link.target === "_self")) {
                saveState();
                link.href = carry(link.href);
            }
        }
        doc.addEventListener("click", onLinkClick, true);
        doc.addEventListener("auxclick", onLinkClick, true);
        window.addEventListener("pagehide", saveState);

        // ---- Theme toggle
        if (themeButton) {
            var showTheme = function () {
                var name = themeNames[theme || "system"];
                themeButton.textContent = name;
                themeButton.setAttribute("aria-label", "Colour theme: " + name);
                themeButton.title = "Colour theme: light, dark or as the system says";
            };
            themeButton.addEventListener("click", function () {
                theme = themes[(themes.indexOf(theme || "system") + 1) % themes.length];
                store("theme", theme);
                applyTheme();
                showTheme();
            });
            showTheme();
            themeButton.hidden = false;
        }

        // ---- Tree
        function element(name, className, text) {
            var made = doc.createElement(name);
            if (className) {
                made.className = className;
            }
            if (text !== undefined) {
                made.textContent = text;
            }
            return made;
        }
        // A branch's links are made when it first opens: a large book's
        // pages would otherwise each build every section of every chapter.
        function setOpen(index, button, list, isOpen) {
            var sections = isOpen && !list.firstChild ? book.chapters[index][2] : [];
            for (var s = 0; s + 1 < sections.length; s += 2) {
                var item = element("li");
                var link = element("a", null, sections[s]);
                link.href = anchorHref(book.chapters[index][0], sections[s + 1]);
                item.appendChild(link);
                list.appendChild(item);
            }
            button.setAttribute("aria-expanded", isOpen ? "true" : "false");
            list.hidden = !isOpen;
            var at = open.indexOf(index);
            if (isOpen && at < 0) {
                open.push(index);
            } else if (!isOpen && at >= 0) {
                open.splice(at, 1);
            }
        }
        function buildTree() {
            var chapters = book.chapters;
            for (var c = 0; c < chapters.length; c++) {
                if (chapters[c][0] === page) {
                    current = c;
                }
            }
            // An entry page that copies the home chapter is that chapter.
            if (current < 0 && kind === "chapter") {
                for (c = 0; c < chapters.length; c++) {
                    if (chapters[c][0] === book.home) {
                        current = c;
                    }
                }
            }
            var wanted = carried && (fromUrl || kind !== "single") ? carried.open : [];
            var list = element("ul", "TreeList");
            chapters.forEach(function (chapter, index) {
                var item = element("li");
                var row = element("div", "TreeRow");
                var link = element("a", "TreeLink", chapter[1]);
                link.href = chapter[0];
                if (index === current) {
                    link.setAttribute("aria-current", "page");
                }
                var sections = chapter[2] || [];
                if (sections.length >= 2) {
                    var button = element("button", "Disclosure");
                    button.type = "button";
                    button.setAttribute("aria-label", "Sections of " + chapter[1]);
                    var sublist = element("ul");
                    sublist.id = "tree-" + index;
                    button.setAttribute("aria-controls", sublist.id);
                    setOpen(index, button, sublist, index === current || wanted.indexOf(index) >= 0);
                    button.addEventListener("click", function () {
                        setOpen(index, button, sublist, button.getAttribute("aria-expanded") !== "true");
                        saveState();
                    });
                    row.appendChild(button);
                    row.appendChild(link);
                    item.appendChild(row);
                    item.appendChild(sublist);
                } else {
                    row.appendChild(link);
                    item.appendChild(row);
                }
                list.appendChild(item);
            });
            var contents = tree.querySelector("a");
            if (contents && kind === "contents") {
                contents.setAttribute("aria-current", "page");
            }
            if (kind === "single" && contents) {
                contents.parentNode.removeChild(contents);
            }
            tree.appendChild(list);
            if (carried && carried.scroll !== null && (fromUrl || kind !== "single")) {
                tree.scrollTop = carried.scroll;
            } else {
                // Measured in the first frame: read now, it would lay out the page twice.
                requestAnimationFrame(function () {
                    var here = tree.querySelector("[aria-current=page]");
                    if (here && here.offsetTop > tree.clientHeight) {
                        tree.scrollTop = here.offsetTop - tree.clientHeight / 3;
                    }
                });
            }
            var remember;
            tree.addEventListener("scroll", function () {
                if (!remember) {
                    remember = window.requestAnimationFrame(function () {
                        remember = 0;
                        saveState();
                    });
                }
            });
        }
        if (tree && book && book.chapters) {
            buildTree();
        }

        // ---- Drawer (narrow screens)
        function drawerOpen() {
            return body.classList.contains("DrawerOpen");
        }
        function setDrawer(isOpen, returnFocus) {
            body.classList.toggle("DrawerOpen", isOpen);
            toggle.setAttribute("aria-expanded", isOpen ? "true" : "false");
            if (isOpen) {
                var target = tree.querySelector("[aria-current=page]") || tree.querySelector("a, button");
                if (target) {
                    target.focus();
                }
            } else if (returnFocus) {
                toggle.focus();
            }
        }
        if (toggle && tree) {
            toggle.hidden = false;
            toggle.addEventListener("click", function () {
                setDrawer(!drawerOpen(), true);
            });
            doc.addEventListener("click", function (event) {
                if (drawerOpen() && !tree.contains(event.target) && !toggle.contains(event.target)) {
                    setDrawer(false, false);
                }
            });
            // A link in this page's own sections leaves the page in place: the
            // drawer must not stay over it.
            tree.addEventListener("click", function (event) {
                if (drawerOpen() && event.target.closest && event.target.closest("a")) {
                    setDrawer(false, false);
                }
            });
            // Tabbing out of the drawer closes it, so focus never hides behind it.
            tree.addEventListener("focusout", function (event) {
                if (drawerOpen() && event.relatedTarget && !tree.contains(event.relatedTarget) &&
                    event.relatedTarget !== toggle) {
                    setDrawer(false, false);
                }
            });
        }

        // ---- Search
        var entries = null;
        var shown = [];
        var selected = -1;
        var loading = false;
        function haveEntries(list) {
            entries = list;
            loading = false;
            if (input.value) {
                runSearch();
            }
        }
        function loadEntries() {
            if (entries || loading) {
                return;
            }
            if (kind !== "single" && body.getAttribute("data-search") === "1") {
                loading = true;
                var script = doc.createElement("script");
                script.src = "_search_index.js";
                script.onload = function () {
                    haveEntries(window.tessarelSearchIndex ? indexEntries(window.tessarelSearchIndex)
                                                           : book ? treeEntries(book) : []);
                };
                script.onerror = function () {
                    haveEntries(book ? treeEntries(book) : []);
                };
                doc.head.appendChild(script);
            } else {
                haveEntries(book ? treeEntries(book) : []);
            }
        }
        function showResults(isShown) {
            results.hidden = !isShown;
            input.setAttribute("aria-expanded", isShown ? "true" : "false");
        }
        function select(index) {
            var items = results.querySelectorAll("li");
            if (selected >= 0 && items[selected]) {
                items[selected].setAttribute("aria-selected", "false");
            }
            selected = index;
            if (selected >= 0 && items[selected]) {
                items[selected].setAttribute("aria-selected", "true");
                input.setAttribute("aria-activedescendant", items[selected].id);
                if (items[selected].scrollIntoView) {
                    items[selected].scrollIntoView({ block: "nearest" });
                }
            } else {
                input.removeAttribute("aria-activedescendant");
            }
        }
        function runSearch() {
            results.textContent = "";
            selected = -1;
            input.removeAttribute("aria-activedescendant");
            if (!input.value.trim()) {
                shown = [];
                showResults(kind === "search");
                return;
            }
            if (!entries) {
                results.appendChild(element("p", null, "Loading the index\u2026"));
                showResults(true);
                return;
            }
            shown = find(entries, input.value, kind === "search" ? 200 : 50);
            if (shown.length === 0) {
                results.appendChild(element("p", "SearchNone", "Nothing found."));
            } else {
                var list = element("ul");
                list.setAttribute("role", "listbox");
                list.setAttribute("aria-label", "Search results");
                shown.forEach(function (entry, index) {
                    var item = element("li");
                    item.id = "search-result-" + index;
                    item.setAttribute("role", "option");
                    item.setAttribute("aria-selected", "false");
                    var link = element("a");
                    link.href = entry.href;
                    link.tabIndex = -1;
                    link.appendChild(entry.chapter ? element("b", null, entry.name) : doc.createTextNode(entry.name));
                    if (entry.snippet) {
                        link.appendChild(element("small", null, entry.snippet));
                    }
                    item.appendChild(link);
                    list.appendChild(item);
                });
                results.appendChild(list);
            }
            showResults(true);
        }
        function openResult(index) {
            var entry = shown[index];
            if (!entry) {
                return;
            }
            var url = new URL(entry.href, location.href);
            if (url.pathname === location.pathname) {
                showResults(kind === "search");
                location.hash = url.hash;
                land();
            } else {
                follow(entry.href);
            }
        }
        if (input && results && searchBox && (book || body.getAttribute("data-search") === "1")) {
            searchBox.hidden = false;
            input.setAttribute("role", "combobox");
            input.setAttribute("aria-controls", "search-results");
            input.setAttribute("aria-autocomplete", "list");
            input.setAttribute("aria-expanded", "false");
            if (kind === "search" && content) {
                content.appendChild(results);
            }
            input.addEventListener("focus", loadEntries);
            input.addEventListener("input", runSearch);
            input.addEventListener("keydown", function (event) {
                if (event.key === "ArrowDown" || event.key === "ArrowUp") {
                    event.preventDefault();
                    if (shown.length > 0) {
                        // Past either end the selection leaves the list.
                        var next = selected + (event.key === "ArrowDown" ? 1 : -1);
                        select(next < -1 ? shown.length - 1 : next >= shown.length ? -1 : next);
                    }
                } else if (event.key === "Enter") {
                    event.preventDefault();
                    openResult(selected >= 0 ? selected : 0);
                }
            });
            results.addEventListener("click", function (event) {
                var item = event.target.closest ? event.target.closest("li") : null;
                if (item) {
                    event.preventDefault();
                    openResult(Number(item.id.replace(/^search-result-/, "")));
                }
            });
            doc.addEventListener("click", function (event) {
                if (kind !== "search" && !searchBox.contains(event.target)) {
                    showResults(false);
                }
            });
            if (kind === "search") {
                if (query.q) {
                    input.value = query.q;
                }
                input.focus();
                loadEntries();
                runSearch();
            }
        }

        // ---- Copy buttons
        function copyText(text, done) {
            function fallback() {
                var area = element("textarea");
                area.value = text;
                area.setAttribute("readonly", "");
                area.style.position = "fixed";
                area.style.opacity = "0";
                body.appendChild(area);
                area.select();
                var copied = false;
                try {
                    copied = doc.execCommand("copy");
                } catch (error) {
                }
                body.removeChild(area);
                done(copied);
            }
            if (navigator.clipboard && navigator.clipboard.writeText) {
                navigator.clipboard.writeText(text).then(function () { done(true); }, fallback);
            } else {
                fallback();
            }
        }
        var blocks = content ? content.querySelectorAll("div.Api, pre") : [];
        Array.prototype.forEach.call(blocks, function (block) {
            var box = element("div", "CopyBox");
            block.parentNode.insertBefore(box, block);
            box.appendChild(block);
            var button = element("button", "CopyButton", "Copy");
            button.type = "button";
            button.setAttribute("aria-label", "Copy this text");
            button.addEventListener("click", function () {
                copyText(block.innerText.replace(/\u00a0/g, " ").trim(), function (copied) {
                    button.textContent = copied ? "Copied" : "Select and copy";
                    button.setAttribute("data-copied", copied ? "1" : "0");
                });
            });
            button.addEventListener("blur", function () {
                button.textContent = "Copy";
            });
            box.appendChild(button);
        });

        // Figures come without a description: their file name is the best there is.
        Array.prototype.forEach.call(doc.querySelectorAll("div.Figure img:not([alt])"), function (image) {
            var name = (image.getAttribute("src") || "").replace(/^.*[\/\\]/, "").replace(/\.[^.]*$/, "");
            image.alt = name ? "Figure: " + name : "Figure";
        });

        // ---- Keys
        var help = null;
        var helpReturn = null;
        function showHelp(isShown) {
            if (isShown && !help) {
                help = element("div", "KeysHelp");
                help.setAttribute("role", "dialog");
                help.setAttribute("aria-label", "Keyboard keys");
                help.tabIndex = -1;
                help.appendChild(element("h2", null, "Keys"));
                var list = element("dl");
                [["/ s", "Search"], ["n", "Next chapter"], ["p", "Previous chapter"], ["?", "These keys"],
                 ["Esc", "Close what is open"]].forEach(function (key) {
                    list.appendChild(element("dt", null, key[0]));
                    list.appendChild(element("dd", null, key[1]));
                });
                help.appendChild(list);
                body.appendChild(help);
            }
            if (help) {
                if (isShown && help.hidden !== false) {
                    helpReturn = doc.activeElement;
                }
                help.hidden = !isShown;
                if (isShown) {
                    help.focus();
                } else if (helpReturn && helpReturn.focus) {
                    helpReturn.focus();
                    helpReturn = null;
                }
            }
        }
        // The chapter before or after this one: the pager's link, or the tree's order.
        function neighbour(rel, step) {
            var link = doc.querySelector(".Pager a[rel=" + rel + "]");
            if (link) {
                return link.getAttribute("href");
            }
            if (book && current >= 0 && kind !== "single") {
                var chapter = book.chapters[current + step];
                return chapter ? chapter[0] : null;
            }
            return null;
        }
        function typing(target) {
            return target && (target.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(target.tagName));
        }
        doc.addEventListener("keydown", function (event) {
            if (event.key === "Escape" || event.key === "Esc") {
                if (help && !help.hidden) {
                    showHelp(false);
                } else if (input && results && !results.hidden && kind !== "search") {
                    showResults(false);
                    input.focus();
                } else if (toggle && drawerOpen()) {
                    setDrawer(false, true);
                } else if (input && doc.activeElement === input) {
                    input.blur();
                }
                return;
            }
            if (event.ctrlKey || event.metaKey || event.altKey || typing(event.target) || event.defaultPrevented) {
                return;
            }
            var target = null;
            if ((event.key === "/" || event.key === "s") && input && !searchBox.hidden) {
                event.preventDefault();
                input.focus();
                input.select();
            } else if (event.key === "n" || event.key === "p") {
                target = event.key === "n" ? neighbour("next", 1) : neighbour("prev", -1);
                if (target) {
                    event.preventDefault();
                    follow(target);
                }
            } else if (event.key === "?") {
                event.preventDefault();
                showHelp(!help || help.hidden);
            }
        });

        // ---- A link's target
        // The sections before it are laid out only as they come near and may
        // move it after the jump: it is put back for a few frames.
        function land() {
            var name = location.hash.slice(1), frames = 10;
            try {
                name = decodeURIComponent(name);
            } catch (error) {
            }
            var mark = name && (doc.getElementsByName(name)[0] || doc.getElementById(name));
            (function put() {
                if (mark && frames-- > 0) {
                    mark.scrollIntoView();
                    requestAnimationFrame(put);
                }
            })();
        }
        window.addEventListener("hashchange", land);
        if (location.hash) {
            requestAnimationFrame(land);
        }

        // ---- Paper: everything folded is printed open
        var folded = [];
        window.addEventListener("beforeprint", function () {
            folded = Array.prototype.filter.call(doc.querySelectorAll("details:not([open])"), function (part) {
                part.open = true;
                return true;
            });
        });
        window.addEventListener("afterprint", function () {
            folded.forEach(function (part) {
                part.open = false;
            });
            folded = [];
        });
    }
    if (doc.readyState === "loading") {
        doc.addEventListener("DOMContentLoaded", start);
    } else {
        start();
    }
})();
