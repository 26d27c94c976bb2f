// Times queries of a book's search page in node, on the page's own script.
// Make the page with book_build_bench, then:
//
//   build/bench/book_build_bench --keep /tmp/search
//   node bench/search_query_bench.js /tmp/search/project/out
"use strict";
const fs = require("fs");
const path = require("path");
const vm = require("vm");

const folder = process.argv[2] || ".";
const page = fs.readFileSync(path.join(folder, "_search.htm"), "latin1");
const scripts = [...page.matchAll(/<script>([\s\S]*?)<\/script>/g)];
const pageScript = scripts[scripts.length - 1][1];

// Just enough of a document for the script to start and be asked.
const element = () => ({ addEventListener() {}, focus() {}, value: "", firstChild: null });
const context = { document: { getElementById: element }, console };
context.window = context;
vm.createContext(context);

let start = process.hrtime.bigint();
vm.runInContext(fs.readFileSync(path.join(folder, "_search_index.js"), "latin1"), context);
vm.runInContext(pageScript, context);
const loadMs = Number(process.hrtime.bigint() - start) / 1e6;
console.log(`index loaded and prepared in ${loadMs.toFixed(1)} ms`);

for (const query of ["unit3999_step7", "queue", "step", "zz no match", "u", "moves the queue one step"]) {
    const runs = 20;
    let found = 0;
    start = process.hrtime.bigint();
    for (let i = 0; i < runs; i++) {
        found = context.tessarelSearch(query).total;
    }
    const ms = Number(process.hrtime.bigint() - start) / 1e6 / runs;
    console.log(`"${query}": ${found} found, ${ms.toFixed(1)} ms per query`);
}
