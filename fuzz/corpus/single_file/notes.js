é// Scratch notes, no sections here.
var x = 1;
