// Checks a Modern book from file:// in Chromium and Firefox ESR.
//   node run.mjs BOOK_FOLDER [--single PAGE] [--screenshots FOLDER] [--styles FOLDER]
// BOOK_FOLDER holds a built Modern book; PAGE is a single Modern page built
// alone; with --styles, a copy of the book takes each NAME.modern.css of
// FOLDER in turn, and axe checks its colours light and dark. Every check waits on events and selectors, never on a clock.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import vm from "node:vm";
import { pathToFileURL } from "node:url";
import { chromium } from "playwright-core";
import puppeteer from "puppeteer-core";
import { AxeBuilder } from "@axe-core/playwright";

const args = process.argv.slice(2);
function option(name) {
    const at = args.indexOf(name);
    if (at < 0) {
        return null;
    }
    const value = args[at + 1];
    args.splice(at, 2);
    return value;
}
const singlePage = option("--single");
const stylesFolder = option("--styles");
const shotFolder = option("--screenshots");
const chromiumPath = process.env.TESSAREL_CHROMIUM || "/usr/bin/chromium";
const firefoxPath = process.env.TESSAREL_FIREFOX || "/usr/bin/firefox-esr";
if (args.length !== 1) {
    console.error("usage: node run.mjs BOOK_FOLDER [--single PAGE] [--screenshots FOLDER] [--styles FOLDER]");
    process.exit(2);
}
const bookFolder = fs.realpathSync(args[0]);
const folderUrl = pathToFileURL(bookFolder).href + "/";
const pageUrl = (name, query = "") => folderUrl + name + query;

// ---- What the book says about itself -----------------------------------------
function readScript(name, variable) {
    const file = path.join(bookFolder, name);
    if (!fs.existsSync(file)) {
        return null;
    }
    const sandbox = {};
    vm.runInNewContext(fs.readFileSync(file, "utf8") + `;this.value = ${variable};`, sandbox);
    return sandbox.value;
}
const book = readScript("_book_data.js", "tessarelBook");
const index = readScript("_search_index.js", "tessarelSearchIndex");
if (!book || !Array.isArray(book.chapters) || book.chapters.length === 0) {
    console.error(`${bookFolder} has no _book_data.js with chapters: not a Modern book`);
    process.exit(1);
}
const chapters = book.chapters.map(([page, title, sections]) => ({
    page, title, sections: (sections || []).filter((_, i) => i % 2 === 0).map((name, i) => ({ name, anchor: sections[2 * i + 1] })),
}));
// A chapter with a next one that has sections: the tree-state walk goes there.
const walkFrom = chapters.findIndex((c, i) => i + 1 < chapters.length && chapters[i + 1].sections.length > 0);
const middle = chapters[Math.min(1, chapters.length - 1)];
const sidePages = ["_book.htm", "_dindex.htm", "_sorted_index.htm", "_search.htm"].filter((n) => fs.existsSync(path.join(bookFolder, n)));

// ---- Reporting ----------------------------------------------------------------
const failures = [];
let passed = 0;
async function check(name, body) {
    try {
        await body();
        passed++;
        console.log(`ok   ${name}`);
    } catch (error) {
        failures.push(name);
        console.log(`FAIL ${name}: ${error && error.stack ? error.stack.split("\n").slice(0, 3).join("\n     ") : error}`);
    }
}
function expect(condition, message) {
    if (!condition) {
        throw new Error(message);
    }
}
function equal(actual, wanted, what) {
    expect(JSON.stringify(actual) === JSON.stringify(wanted), `${what}: ${JSON.stringify(actual)}, wanted ${JSON.stringify(wanted)}`);
}

// Every request of a page, and every error it reports, is watched.
const strayRequests = [];
const consoleErrors = [];
const allowed = [folderUrl].concat(singlePage ? [pathToFileURL(path.dirname(path.resolve(singlePage))).href + "/"] : []);
function isInsideBook(url) {
    return allowed.some((prefix) => url.startsWith(prefix)) || url.startsWith("data:") || url.startsWith("blob:") || url.startsWith("about:");
}
function noteRequest(url) {
    if (!isInsideBook(url)) {
        strayRequests.push(url);
    }
}

// ---- Page probes, shared by both browsers (plain functions run in the page) ----
const treeState = () => {
    const tree = document.getElementById("tree");
    const open = [...tree.querySelectorAll(".Disclosure[aria-expanded=true]")].map((b) => b.getAttribute("aria-controls"));
    return { open, scroll: tree.scrollTop, current: tree.querySelector("a[aria-current=page]")?.getAttribute("href") ?? null };
};
const background = () => {
    const colour = getComputedStyle(document.body).backgroundColor.match(/[\d.]+/g).map(Number);
    return (0.2126 * colour[0] + 0.7152 * colour[1] + 0.0722 * colour[2]) / 255;
};
const sideways = () => document.documentElement.scrollWidth - document.documentElement.clientWidth;
// The chapter with the most sections: its last one is far down.
const longest = chapters.reduce((a, b) => (b.sections.length > a.sections.length ? b : a), chapters[0]);

// In a short window, a link to the last section of the longest chapter lands
// it under the top bar although the sections before it were never laid out;
// the text of a section not laid out is still found.
async function farSection(page, resize, evaluate) {
    expect(longest.sections.length > 1, "no chapter has two sections");
    await resize(1200, 300);
    const landed = await evaluate((anchor) => new Promise((resolve) => {
        const frames = (count, then) => requestAnimationFrame(() => (count > 1 ? frames(count - 1, then) : then()));
        const mark = document.getElementsByName(anchor)[0];
        const section = mark.closest(".Section");
        // Room to scroll the last section to the top.
        const room = document.createElement("div");
        room.style.height = "200vh";
        document.body.appendChild(room);
        window.scrollTo(0, 0);
        frames(3, () => {
            const state = { visibility: getComputedStyle(section).contentVisibility, far: section.getBoundingClientRect().top / innerHeight };
            location.hash = "#" + encodeURIComponent(anchor);
            // Sections coming near are laid out in the frames that follow.
            frames(15, () => {
                state.top = mark.getBoundingClientRect().top - parseFloat(getComputedStyle(mark).scrollMarginTop);
                history.replaceState(null, "", location.pathname);
                window.scrollTo(0, 0);
                frames(3, () => {
                    // Its words are found although it is not laid out (its name is also in the summary).
                    const words = section.querySelector("h3").textContent.replace(/#/g, "").trim();
                    getSelection().removeAllRanges();
                    state.found = false;
                    for (let tries = 0; tries < 20 && !state.found && window.find(words, true); tries++) {
                        state.found = section.contains(getSelection().anchorNode);
                    }
                    room.remove();
                    resolve(state);
                });
            });
        });
    }), longest.sections[longest.sections.length - 1].anchor);
    await resize(1200, 800);
    equal(landed.visibility, "auto", "sections laid out only when near");
    expect(landed.far > 2, `the last section starts ${landed.far} windows down`);
    expect(Math.abs(landed.top) < 2, `the section landed ${landed.top} px from under the top bar`);
    equal(landed.found, true, "the section's heading found in the page");
}

// ---- Chromium ---------------------------------------------------------------------
async function chromiumChecks() {
    const browser = await chromium.launch({ executablePath: chromiumPath, args: ["--no-sandbox"] });
    const context = await browser.newContext({ viewport: { width: 1200, height: 800 }, colorScheme: "light" });
    context.on("request", (request) => noteRequest(request.url()));
    context.on("page", (page) => {
        page.on("console", (message) => {
            if (message.type() === "error") {
                consoleErrors.push(`chromium ${page.url()}: ${message.text()}`);
            }
        });
        page.on("pageerror", (error) => consoleErrors.push(`chromium ${page.url()}: ${error.message}`));
    });
    const page = await context.newPage();
    async function open(name, query = "") {
        await page.goto(pageUrl(name, query));
        await page.waitForSelector("#tree .TreeList", { state: "attached" });
    }

    await check("chromium: the tree lists every chapter, opened at the current one", async () => {
        await open(middle.page);
        const links = await page.$$eval("#tree .TreeList > li > .TreeRow > a", (as) => as.map((a) => a.getAttribute("href")));
        equal(links, chapters.map((c) => c.page), "chapter links");
        const state = await page.evaluate(treeState);
        equal(state.current, middle.page, "current chapter");
        if (middle.sections.length > 0) {
            const sections = await page.$$eval("#tree a[aria-current=page]", (as) =>
                [...as[0].closest("li").querySelectorAll(":scope > ul a")].map((a) => a.textContent));
            equal(sections, middle.sections.map((s) => s.name), "sections of the current chapter");
            const expanded = await page.$eval("#tree a[aria-current=page]", (a) => a.closest("li").querySelector(".Disclosure").getAttribute("aria-expanded"));
            equal(expanded, "true", "the current chapter's branch");
        }
    });

    await check("chromium: open branches and tree scroll survive following a link", async () => {
        expect(walkFrom >= 0, "the book has no chapter followed by one with sections");
        try {
            await treeWalk(page, "chromium", async (name) => open(name), async (selector) => {
                const before = page.url();
                // Clicked in the page, not at a point: sections laid out as
                // they come near may move the link between aim and click.
                await Promise.all([page.waitForURL((url) => url.href !== before), page.$eval(selector, (a) => a.click())]);
                await page.waitForSelector("#tree .TreeList", { state: "attached" });
            }, (fn, arg) => page.evaluate(fn, arg), (w, h) => page.setViewportSize({ width: w, height: h }));
        } finally {
            await page.setViewportSize({ width: 1200, height: 800 });
        }
    });

    await check("chromium: search puts the exact name first and Enter opens its section", async () => {
        await open(middle.page);
        await searchAndOpen(page, async (text) => {
            await page.click("#search");
            await page.fill("#search", text);
        }, async () => {
            await Promise.all([page.waitForURL((url) => url.hash !== ""), page.press("#search", "Enter")]);
        }, (fn, arg) => page.evaluate(fn, arg), (selector) => page.waitForSelector(selector));
    });

    await check("chromium: keys open search, chapters and help, never while typing", async () => {
        const at = chapters.length > 1 ? 0 : -1;
        expect(at === 0, "the book has one chapter only");
        await open(chapters[0].page);
        await page.keyboard.press("/");
        equal(await page.evaluate(() => document.activeElement.id), "search", "focus after /");
        await page.keyboard.type("np");
        equal(new URL(page.url()).pathname.endsWith("/" + chapters[0].page), true, "typing n and p in the search box leaves the page");
        await page.keyboard.press("Escape");
        await page.keyboard.press("Escape");
        await page.evaluate(() => document.activeElement.blur());
        await page.keyboard.press("s");
        // The key that focuses the box is not typed into it.
        equal(await page.evaluate(() => [document.activeElement.id, /s$/.test(document.activeElement.value)]), ["search", false], "focus after s");
        await page.evaluate(() => document.activeElement.blur());
        await Promise.all([page.waitForURL((url) => url.pathname.endsWith("/" + chapters[1].page)), page.keyboard.press("n")]);
        await page.waitForSelector("#tree .TreeList", { state: "attached" });
        await Promise.all([page.waitForURL((url) => url.pathname.endsWith("/" + chapters[0].page)), page.keyboard.press("p")]);
        await page.waitForSelector("#tree .TreeList", { state: "attached" });
        await page.keyboard.press("?");
        await page.waitForSelector(".KeysHelp", { state: "visible" });
        await page.keyboard.press("Escape");
        await page.waitForSelector(".KeysHelp", { state: "hidden" });
    });

    await check("chromium: copy buttons on declarations and code copy their text", async () => {
        const withApi = await firstChapterWith(page, "div.Api, main pre", open);
        if (!withApi) {
            return;
        }
        await context.grantPermissions(["clipboard-read", "clipboard-write"]);
        // Its text as copied, whether or not its section is laid out yet
        // (innerText of a section off screen is empty).
        const wanted = await page.$eval(".CopyBox", (box) => {
            const copy = box.firstElementChild.cloneNode(true);
            copy.querySelectorAll("br").forEach((br) => br.replaceWith("\n"));
            return copy.textContent.trim();
        });
        await page.click(".CopyBox .CopyButton");
        await page.waitForSelector(".CopyBox .CopyButton[data-copied]");
        equal(await page.$eval(".CopyBox .CopyButton", (b) => b.getAttribute("data-copied")), "1", "copied");
        const copied = await page.evaluate(() => navigator.clipboard.readText());
        equal(copied.replace(/\s+/g, " ").trim(), wanted.replace(/\s+/g, " "), "clipboard text");
        const unboxed = await page.$$eval("main div.Api, main pre", (blocks) => blocks.filter((b) => !b.parentNode.classList.contains("CopyBox")).length);
        equal(unboxed, 0, "blocks without a copy button");
    });

    await check("chromium: at 320 px no page scrolls sideways and the drawer opens and closes", async () => {
        await page.setViewportSize({ width: 320, height: 640 });
        // An entry page that only redirects has no layout of its own.
        const entry = fs.readFileSync(path.join(bookFolder, "index.htm"), "utf8");
        const redirects = /http-equiv=["']?refresh/i.test(entry);
        for (const name of [middle.page, ...sidePages].concat(redirects ? [] : ["index.htm"])) {
            await page.goto(pageUrl(name));
            await page.waitForLoadState("load");
            equal(await page.evaluate(sideways), 0, `sideways scroll of ${name}`);
        }
        await open(middle.page);
        if (shotFolder) {
            await page.screenshot({ path: path.join(shotFolder, "narrow-chapter.png"), fullPage: true });
        }
        equal(await page.$eval("#tree", (t) => getComputedStyle(t).visibility), "hidden", "closed drawer");
        await page.click(".TreeToggle");
        await page.waitForSelector("#tree", { state: "visible" });
        equal(await page.$eval(".TreeToggle", (b) => b.getAttribute("aria-expanded")), "true", "toggle state when open");
        equal(await page.evaluate(() => document.getElementById("tree").contains(document.activeElement)), true, "focus in the drawer");
        if (shotFolder) {
            await page.screenshot({ path: path.join(shotFolder, "narrow-drawer.png") });
        }
        await page.keyboard.press("Escape");
        await page.waitForSelector("#tree", { state: "hidden" });
        equal(await page.evaluate(() => document.activeElement.classList.contains("TreeToggle")), true, "focus back on the toggle");
        // Tabbing out of the drawer closes it too.
        await page.click(".TreeToggle");
        await page.waitForSelector("#tree", { state: "visible" });
        await page.focus("#tree a");
        await page.keyboard.press("Shift+Tab");
        await page.waitForSelector("#tree", { state: "hidden" });
        // A section of this very page: the drawer gets out of its way.
        if (middle.sections.length > 0) {
            await page.click(".TreeToggle");
            await page.click("#tree a[aria-current=page] >> xpath=ancestor::li[1]//ul//a");
            await page.waitForSelector("#tree", { state: "hidden" });
            equal(decodeURIComponent(new URL(page.url()).hash.slice(1)), middle.sections[0].anchor, "section opened from the drawer");
        }
        await page.setViewportSize({ width: 1200, height: 800 });
    });

    await check("chromium: light, dark and system themes by the toggle and by ?theme=", async () => {
        await open(middle.page);
        const seen = {};
        for (let click = 0; click < 3; click++) {
            await page.click(".ThemeToggle");
            const theme = await page.evaluate(() => document.documentElement.getAttribute("data-theme") || "system");
            seen[theme] = await page.evaluate(background);
        }
        equal(Object.keys(seen).sort(), ["dark", "light", "system"], "themes the toggle goes through");
        expect(seen.dark < 0.2 && seen.light > 0.8 && seen.system > 0.8, `backgrounds ${JSON.stringify(seen)}`);
        await page.emulateMedia({ colorScheme: "dark" });
        expect(await page.evaluate(background) < 0.2, "system theme with a dark system is not dark");
        await open(middle.page, "?theme=light");
        expect(await page.evaluate(background) > 0.8, "?theme=light on a dark system is not light");
        await page.emulateMedia({ colorScheme: "light" });
        await open(middle.page, "?theme=dark");
        equal(await page.evaluate(() => document.documentElement.getAttribute("data-theme")), "dark", "theme from ?theme=dark");
        expect(await page.evaluate(background) < 0.2, "?theme=dark is not dark");
        // The window's preview opens the entry page with its theme: a redirect passes it on.
        const entry = fs.readFileSync(path.join(bookFolder, "index.htm"), "utf8");
        if (/http-equiv=["']?refresh/i.test(entry)) {
            const home = /<a\s[^>]*href="([^"]+)"/i.exec(entry)[1];
            // Whatever a page may have kept of the last theme is light.
            await open(middle.page, "?theme=light");
            await page.goto(pathToFileURL(path.join(bookFolder, "index.htm")).href + "?theme=dark");
            await page.waitForURL((url) => url.pathname.endsWith("/" + home));
            await page.waitForLoadState("load");
            equal(await page.evaluate(() => document.documentElement.getAttribute("data-theme")), "dark", "theme after the entry page");
        }
        if (shotFolder) {
            await page.screenshot({ path: path.join(shotFolder, "dark-chapter.png") });
            await page.click("#search");
            await page.fill("#search", middle.sections[0]?.name ?? middle.title);
            await page.waitForSelector("#search-results li");
            await page.screenshot({ path: path.join(shotFolder, "dark-search.png") });
        }
        // Back to the system's choice for the checks that follow.
        await page.evaluate(() => localStorage.clear());
    });

    await check("chromium: axe finds nothing serious on a chapter, the contents and the search page", async () => {
        const found = [];
        const pages = [middle.page, "_book.htm", "_search.htm"].filter((n) => n === middle.page || sidePages.includes(n));
        // The chapter again in the dark: both palettes must read well.
        for (const [name, query] of pages.map((n) => [n, ""]).concat([[middle.page, "?theme=dark"]])) {
            await open(name, query);
            const result = await new AxeBuilder({ page }).options({ preload: false }).analyze();
            for (const violation of result.violations) {
                if (violation.impact === "serious" || violation.impact === "critical") {
                    found.push(`${name}${query}: ${violation.id} (${violation.nodes.map((n) => n.target.join(" ")).slice(0, 3).join(", ")})`);
                }
            }
        }
        equal(found, [], "serious or critical violations");
    });

    if (stylesFolder) {
        await check("chromium: every style's modern sheet reads well light and dark", async () => {
            const sheets = fs.readdirSync(stylesFolder).filter((name) => name.endsWith(".modern.css"));
            expect(sheets.length > 0, `no modern sheet in ${stylesFolder}`);
            const copy = fs.mkdtempSync(path.join(os.tmpdir(), "tessarel-styles-"));
            const found = [];
            try {
                fs.cpSync(bookFolder, copy, { recursive: true });
                allowed.push(pathToFileURL(fs.realpathSync(copy)).href + "/");
                for (const sheet of sheets) {
                    fs.copyFileSync(path.join(stylesFolder, sheet), path.join(copy, "_book.css"));
                    for (const theme of ["light", "dark"]) {
                        await page.goto(pathToFileURL(path.join(copy, middle.page)).href + "?theme=" + theme);
                        await page.waitForSelector("#tree .TreeList", { state: "attached" });
                        // options() first: it replaces what withRules() sets.
                        const result = await new AxeBuilder({ page }).options({ preload: false })
                            .withRules(["color-contrast", "link-in-text-block"]).analyze();
                        for (const violation of result.violations) {
                            found.push(`${sheet} ${theme}: ${violation.id} (${violation.nodes.map((n) => n.target.join(" ")).slice(0, 3).join(", ")})`);
                        }
                    }
                }
            } finally {
                fs.rmSync(copy, { recursive: true, force: true });
            }
            equal(found, [], "colour violations");
        });
    }

    await check("chromium: a link to a far section lands it at the top, and its text is found", async () => {
        await open(longest.page);
        await farSection(page, (w, h) => page.setViewportSize({ width: w, height: h }), (fn, arg) => page.evaluate(fn, arg));
    });

    await check("chromium: paper shows the content without the navigation", async () => {
        await open(middle.page);
        await page.emulateMedia({ media: "print" });
        const shown = await page.evaluate(() => [".TopBar", "#tree", ".Pager", ".CopyButton", "main h1"].map((selector) => {
            const found = document.querySelector(selector);
            return found ? [selector, getComputedStyle(found).display !== "none"] : [selector, false];
        }));
        // Every section is laid out on paper, near the view or not.
        const sections = await page.$$eval(".Section", (all) => all.map((s) => getComputedStyle(s).contentVisibility));
        await page.emulateMedia({ media: "screen" });
        equal(shown, [[".TopBar", false], ["#tree", false], [".Pager", false], [".CopyButton", false], ["main h1", true]], "shown on paper");
        equal(sections.filter((v) => v !== "visible"), [], "sections skipped on paper");
    });

    await check("chromium: without scripts a page still shows its breadcrumb, pager and contents link", async () => {
        const plain = await browser.newContext({ javaScriptEnabled: false });
        plain.on("request", (request) => noteRequest(request.url()));
        const bare = await plain.newPage();
        const inner = chapters.length > 2 ? chapters[1] : middle;
        await bare.goto(pageUrl(inner.page));
        for (const selector of [".Breadcrumb", "#tree a[href='_book.htm']", "main h1"].concat(chapters.length > 1 ? [".Pager a"] : [])) {
            expect(await bare.isVisible(selector), `${selector} is not shown`);
        }
        expect(!(await bare.isVisible(".SearchBox")), "the search box shows without scripts");
        // The tree comes from the shared data only, never copied into a page.
        equal(await bare.$$eval("#tree a", (links) => links.length), 1, "links in the tree of the page as written");
        await plain.close();
    });

    if (singlePage) {
        await check("chromium: a single page builds its tree and searches its own sections", async () => {
            await page.goto(pathToFileURL(path.resolve(singlePage)).href);
            await page.waitForSelector("#tree .TreeList", { state: "attached" });
            equal(await page.$$eval("script[src], link[rel=stylesheet]", (found) => found.length), 0, "files the single page loads");
            const names = await page.$$eval(".Section h3 a[name]", (as) => as.length);
            const treeLinks = await page.$$eval("#tree .TreeList ul a", (as) => as.map((a) => a.getAttribute("href")));
            expect(names > 0 && treeLinks.length > 0, "no sections in the tree of the single page");
            const wanted = await page.$eval(".Section h3", (h) => {
                const copy = h.cloneNode(true);
                copy.querySelectorAll(".Permalink").forEach((p) => p.remove());
                return copy.textContent.trim();
            });
            await page.click("#search");
            await page.fill("#search", wanted);
            await page.waitForSelector("#search-results li");
            await Promise.all([page.waitForURL((url) => url.hash !== ""), page.press("#search", "Enter")]);
            expect(treeLinks.some((href) => href.endsWith(new URL(page.url()).hash)), `${page.url()} is not a section of the tree`);
        });
    }

    await browser.close();
}

// A chapter page holding `selector`, opened; null when no chapter has one.
async function firstChapterWith(page, selector, open) {
    for (const chapter of chapters) {
        await open(chapter.page);
        if (await page.$(selector)) {
            return chapter;
        }
    }
    return null;
}

// Opens the next chapter's branch, scrolls the tree, follows the pager to the
// next chapter: the same branches are open and the tree is scrolled the same.
async function treeWalk(page, browserName, open, clickAndWait, evaluate, resize) {
    const from = chapters[walkFrom];
    const to = chapters[walkFrom + 1];
    await resize(1100, 320);
    await open(from.page);
    await evaluate((id) => {
        const button = document.querySelector(`.Disclosure[aria-controls="${id}"]`);
        if (button.getAttribute("aria-expanded") !== "true") {
            button.click();
        }
    }, `tree-${walkFrom + 1}`);
    const scrolled = await evaluate(() => {
        const tree = document.getElementById("tree");
        tree.scrollTop = Math.floor((tree.scrollHeight - tree.clientHeight) / 2);
        return tree.scrollTop;
    });
    expect(scrolled > 0, `${browserName}: the tree does not scroll at 320 px high`);
    const before = await evaluate(treeState);
    expect(before.open.includes(`tree-${walkFrom + 1}`), "the branch did not open");
    // Written with the next page's file name, shown with its title.
    equal(await evaluate(() => document.querySelector(".Pager a[rel=next]").textContent), to.title, "the pager's next link");
    await clickAndWait(".Pager a[rel=next]");
    const after = await evaluate(treeState);
    equal(after.current, to.page, "current chapter after the link");
    equal(after.open.sort(), before.open.sort(), "open branches after the link");
    expect(Math.abs(after.scroll - before.scroll) <= 1, `tree scroll ${after.scroll} after the link, ${before.scroll} before`);
}

// Types a section name that other names contain, checks it comes first, and
// opens it with Enter.
async function searchAndOpen(page, type, pressEnter, evaluate, waitFor) {
    const names = [];
    if (index) {
        for (const chapter of index.chapters) {
            for (let i = 0; i + 1 < chapter[3].length; i += 2) {
                const item = chapter[3][i];
                names.push(typeof item === "string" ? { name: item, page: chapter[0], anchor: item.replace(/ /g, "^") }
                                                    : { name: item[0], page: chapter[0], anchor: item[1] });
            }
        }
    } else {
        chapters.forEach((c) => c.sections.forEach((s) => names.push({ name: s.name, page: c.page, anchor: s.anchor })));
    }
    expect(names.length > 0, "the book has no sections to search");
    const fold = (s) => s.toLowerCase();
    // Best: a name other names contain, so that ranking matters.
    const titles = new Set(chapters.map((c) => fold(c.title)));
    const unique = names.filter((n) => !titles.has(fold(n.name)) && names.filter((m) => fold(m.name) === fold(n.name)).length === 1);
    const pool = unique.length > 0 ? unique : names;
    const target = pool.find((n) => names.some((m) => m !== n && fold(m.name).includes(fold(n.name)))) || pool[0];
    await type(target.name);
    await waitFor("#search-results li");
    const first = await evaluate(() => {
        const link = document.querySelector("#search-results li a");
        return { href: link.getAttribute("href"), name: link.firstChild.textContent };
    });
    equal(first.name, target.name, `first result for "${target.name}"`);
    await pressEnter();
    const landed = await evaluate(() => ({ path: location.pathname, hash: decodeURIComponent(location.hash.slice(1)) }));
    expect(landed.path.endsWith("/" + target.page), `Enter opened ${landed.path}, not ${target.page}`);
    equal(landed.hash, target.anchor, "section opened");
    await waitFor("#tree .TreeList");
    const anchored = await evaluate((name) => document.getElementsByName(name).length, target.anchor);
    expect(anchored > 0, `${target.page} has no anchor ${target.anchor}`);
}

// ---- Firefox ESR over WebDriver BiDi, with file:// origins as a user has them ----
async function firefoxChecks() {
    const browser = await puppeteer.launch({
        browser: "firefox",
        executablePath: firefoxPath,
        headless: true,
        extraPrefsFirefox: { "security.fileuri.strict_origin_policy": true },
    });
    const page = await browser.newPage();
    page.on("request", (request) => noteRequest(request.url()));
    page.on("console", (message) => {
        if (message.type() === "error") {
            consoleErrors.push(`firefox ${page.url()}: ${message.text()}`);
        }
    });
    page.on("pageerror", (error) => consoleErrors.push(`firefox ${page.url()}: ${error.message}`));
    await page.setViewport({ width: 1200, height: 800 });
    async function open(name, query = "") {
        await page.goto(pageUrl(name, query));
        await page.waitForSelector("#tree .TreeList");
    }

    await check("firefox: strict file origins are on", async () => {
        await open(middle.page);
        // With strict origins another file of the folder is a foreign frame.
        const strict = await page.evaluate((other) => new Promise((resolve) => {
            const frame = document.createElement("iframe");
            frame.src = other;
            frame.onload = () => {
                try {
                    resolve(frame.contentDocument === null || frame.contentDocument.body === null);
                } catch (error) {
                    resolve(true);
                }
                frame.remove();
            };
            document.body.appendChild(frame);
        }), sidePages[0] || chapters[0].page);
        equal(strict, true, "a page reads another file's document");
    });

    await check("firefox: open branches, tree scroll and theme survive following a link", async () => {
        expect(walkFrom >= 0, "the book has no chapter followed by one with sections");
        await open(chapters[walkFrom].page);
        await page.evaluate(() => localStorage.clear());
        await page.click(".ThemeToggle");
        const theme = await page.evaluate(() => document.documentElement.getAttribute("data-theme"));
        expect(theme === "light" || theme === "dark", `the toggle chose ${theme}`);
        try {
            await treeWalk(page, "firefox", open, async (selector) => {
                await Promise.all([page.waitForNavigation(), page.$eval(selector, (a) => a.click())]);
                await page.waitForSelector("#tree .TreeList");
            }, (fn, arg) => page.evaluate(fn, arg), (w, h) => page.setViewport({ width: w, height: h }));
            equal(await page.evaluate(() => document.documentElement.getAttribute("data-theme")), theme, "theme after the link");
        } finally {
            await page.setViewport({ width: 1200, height: 800 });
        }
    });

    await check("firefox: ?theme= chooses light or dark", async () => {
        for (const [theme, dark] of [["dark", true], ["light", false]]) {
            await open(middle.page, "?theme=" + theme);
            equal(await page.evaluate(() => document.documentElement.getAttribute("data-theme")), theme, "theme");
            expect((await page.evaluate(background) < 0.2) === dark, `?theme=${theme} gives the wrong background`);
        }
    });

    await check("firefox: search puts the exact name first and Enter opens its section", async () => {
        await open(middle.page);
        await searchAndOpen(page, async (text) => {
            await page.click("#search");
            await page.type("#search", text);
        }, async () => {
            await Promise.all([page.waitForFunction(() => location.hash !== ""), page.keyboard.press("Enter")]);
            await page.waitForFunction(() => document.readyState !== "loading");
        }, (fn, arg) => page.evaluate(fn, arg), (selector) => page.waitForSelector(selector));
    });

    await check("firefox: a link to a far section lands it at the top, and its text is found", async () => {
        await open(longest.page);
        await farSection(page, (w, h) => page.setViewport({ width: w, height: h }), (fn, arg) => page.evaluate(fn, arg));
    });

    await check("firefox: at 320 px no sideways scroll and the drawer returns focus", async () => {
        await page.setViewport({ width: 320, height: 640 });
        await open(middle.page);
        equal(await page.evaluate(sideways), 0, "sideways scroll");
        await page.click(".TreeToggle");
        await page.waitForSelector("#tree", { visible: true });
        await page.keyboard.press("Escape");
        await page.waitForSelector("#tree", { hidden: true });
        equal(await page.evaluate(() => document.activeElement.classList.contains("TreeToggle")), true, "focus back on the toggle");
        await page.setViewport({ width: 1200, height: 800 });
    });

    await browser.close();
}

// ---- Run ------------------------------------------------------------------------
if (shotFolder) {
    fs.mkdirSync(shotFolder, { recursive: true });
}
await check("the entry page is a Modern page or a redirect with a visible link", async () => {
    const entry = fs.readFileSync(path.join(bookFolder, "index.htm"), "utf8");
    const modern = /<body[^>]*class="[^"]*\bModern\b/.test(entry);
    const redirect = /http-equiv=["']?refresh/i.test(entry) && /<a\s[^>]*href=/i.test(entry);
    expect(modern || redirect, "index.htm is neither");
});
await check("the interface script is at most 32 KB and the sheet at most 25 KB", async () => {
    const size = (name) => fs.statSync(path.join(bookFolder, name)).size;
    expect(size("_book.js") <= 32 * 1024, `_book.js has ${size("_book.js")} bytes`);
    expect(size("_book.css") <= 25 * 1024, `_book.css has ${size("_book.css")} bytes`);
});
await chromiumChecks();
await firefoxChecks();
await check("no request leaves the book folder", async () => equal([...new Set(strayRequests)], [], "requests outside"));
await check("no page reports an error", async () => equal(consoleErrors, [], "errors"));
console.log(`${passed} passed, ${failures.length} failed`);
process.exit(failures.length === 0 ? 0 : 1);
