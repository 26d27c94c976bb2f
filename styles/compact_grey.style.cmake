# The style sheet compact_grey.css: base.css.in with these values.

set(Description [=[
   A dense theme for large interfaces: smaller type, tight spacing, a
   wide text column and quiet grey tones with one blue accent, so that
   more sections fit on a screen. Pure ASCII on purpose.]=])

# Shape
set(MainPadding "0.6em 1em 1.2em 1em")
set(MainWidth "75em")
set(MainFontSize "87.5%")
set(MainLineHeight "1.42")
set(SideFontSize "85%")
set(H1Size "1.55em")
set(H1RuleWidth "2px")
set(H3Size "1.15em")
set(Radius "2px")
set(SmallRadius "2px")
set(BoxMargin "0.8em 0")
set(BoxPadding "0.5em 0.8em")
set(BoxBarWidth "3px")
set(SectionMargin "0 0 0.9em 0")
set(SectionPadding "0.55em 0 0 0")
set(ApiBarWidth "3px")

# Colours
set(PageBackground "#ffffff")
set(Text "#24292f")
set(SideBackground "#f3f4f6")
set(Link "#3b5bdb")
set(LinkVisited "#6741d9")
set(LinkHover "#1c3aa9")
set(LinkActive "#c92a2a")
set(Heading "#212529")
set(H1Rule "#adb5bd")
set(SubHeading "#343a40")
set(CodeBackground "#f8f9fa")
set(CodeBorder "#dee2e6")
set(ProjectTitle "#868e96")
set(BoxBackground "#f8f9fa")
set(BoxBorder "#e9ecef")
set(Accent "#adb5bd")
set(RowRule "#e9ecef")
set(SummaryText "#495057")
set(SectionRule "#e9ecef")
set(SectionHeading "#212529")
set(ApiBackground "#f1f3f5")
set(ApiBorder "#dee2e6")
set(ApiBar "#868e96")
set(ApiText "#212529")
set(ApiName "#3b5bdb")
set(Highlight "#fff3bf")
set(FigureBacking "#ffffff")
set(Muted "#6c757d")
set(FooterBackground "#f8f9fa")
set(FooterBorder "#e9ecef")
set(SideText "#6c757d")
set(SideDetailRule "#ced4da")
set(SideDetailBorder "#ced4da")
set(SideLink "#343a40")

set(Tail [=[

/* ---- Denser details ------------------------------------------------- */

h4 {
    margin: 0.7em 0 0.2em 0;
    font-size: 1em;
    text-transform: uppercase;
    letter-spacing: 0.05em;
}

p {
    margin: 0.5em 0;
}

ul.TocLinks {
    -webkit-column-width: 12em;
    -moz-column-width: 12em;
    column-width: 12em;
}

li.TocLink {
    margin-bottom: 0.1em;
}

td.SummaryLink, td.SummaryText {
    padding-top: 0.2em;
    padding-bottom: 0.2em;
}

td.Def, td.DefSep, td.DefText {
    padding-top: 0.15em;
    padding-bottom: 0.15em;
}

div.Api {
    margin-bottom: 0.6em;
    padding-top: 0.35em;
    padding-bottom: 0.35em;
}

td.SideLink {
    padding-top: 0.1em;
    padding-bottom: 0.1em;
}
]=])
