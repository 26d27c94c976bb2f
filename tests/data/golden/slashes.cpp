// file: Geometry helpers
// Small *exact* helpers for /plane/ shapes.
// See http://example.org/geo or https://example.org/g2 for _more_.

// class: Size
// A width and a height.
struct Size {
    Size(int w, int h) : w(w), h(h) {}
    int w, h;
};

// function: area
// Returns the area of a Size.
// See also @goto[scale].
int area(Size s)
{
    return s.w * s.h;  // never negative
}

// function: scale
// Multiplies a ++length++ by a factor; like area, exactly.
double scale(double length,
             double factor)
{
    return length * factor;
}
