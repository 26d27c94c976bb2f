// The interface of a Modern book (theme, tree, search, keys), written into
// every Modern book as _book.js and into a single Modern page.
"use strict";
