# The modern form of dark_slate: its own colours are the dark palette and the
# shared light palette keeps its blue links and amber names; its print block
# is the palettes' own print rule.
set(StyleIsDark TRUE)
set(ModernTail "")
