# The style sheet dark_slate.css: base.css.in with these values.

set(Description [=[
   A dark theme for long reading sessions: slate-blue background, soft
   light text, sky-blue links and amber names in the declaration boxes.
   Printing falls back to black on white. Pure ASCII on purpose.]=])
set(Prelude [=[

/* Scroll bars and form controls follow the dark background. */
html {
    color-scheme: dark;
    background: #1b2230;
}
]=])

# Colours
set(PageBackground "#1b2230")
set(Text "#d7dde8")
set(SideBackground "#151b27")
set(Link "#7db8ff")
set(LinkVisited "#b4a4f5")
set(LinkHover "#a9d0ff")
set(LinkActive "#ff8a7a")
set(Heading "#e8eef7")
set(H1Rule "#3d6ea8")
set(SubHeading "#9cc3ec")
set(CodeBackground "#121824")
set(CodeBorder "#2c3647")
set(ProjectTitle "#7f95b3")
set(BoxBackground "#212a3a")
set(BoxBorder "#2e3a4f")
set(Accent "#4f8fd6")
set(RowRule "#2e3a4f")
set(SummaryText "#b3bdcc")
set(SectionRule "#2b3546")
set(SectionHeading "#f0f4fa")
set(ApiBackground "#182131")
set(ApiBorder "#2d3b52")
set(ApiBar "#5aa2f0")
set(ApiText "#cfd8e6")
set(ApiName "#ffd479")
set(Highlight "#2f4a6b")
set(FigureBacking "#f4f6f9")
set(Muted "#8a96a8")
set(FooterBackground "#182030")
set(FooterBorder "#283245")
set(SideText "#9aa6b8")
set(SideDetailRule "#2f4a6b")
set(SideDetailBorder "#35507a")
set(SideLink "#a9c8ee")

set(FigureNote [=[
/* Figures are mostly drawn for white paper: a light backing keeps their
   black lines and labels readable on the dark page. */
]=])

set(Tail [=[

/* Dark ink on white paper when printed, whatever the screen shows. */
@media print {
    html {
        color-scheme: light;
    }
    html, body.Main, body.Main * {
        color: #000000 !important;
        background: #ffffff !important;
        border-color: #bbbbbb !important;
    }
}
]=])
