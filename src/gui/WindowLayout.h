#pragma once

#include <optional>

// Where the main window's regions go, in twips, from the window's inner size and the two splitter
// proportions. Pure arithmetic, so every rule can be checked without a window.
namespace WindowLayout {

struct Rect
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct Input
{
    double width = 0;              // W
    double height = 0;             // H
    double splitterXPercent = 0.7; // share of W right of the vertical bar
    double splitterYPercent = 0.7; // share of H below the horizontal bar
    int rShare = 65;               // percent of the search area's width for the server list
    bool searchVisible = true;
    double treeLeft = 60; // the designed position of the tree
    double treeTop = 500;
    double editorTop = 1200;     // top of the code editor, below the snippet fields
    double remoteListLeft = 120; // the designed left of the server list inside the search area
};

struct Result
{
    double splitterXPercent = 0; // the proportions after clamping: what is saved
    double splitterYPercent = 0;
    Rect tree;
    Rect verticalBar; // Picture2; only left and height are laid out
    bool horizontalBarVisible = false;
    Rect horizontalBar; // Picture1; only top and width are laid out
    Rect search;        // frameSearch; width, top, height
    Rect results;       // lstResults; width, height
    Rect remoteList;    // lstRemote; left, width, height
    Rect remoteCode;    // txtRemote; left, width, height
    Rect code;          // txtCode
    Rect title;         // txtTitle; left, width
    Rect keywords;      // txtKeywords; left, width
    Rect object;        // txtObject; left, width
    Rect update;        // txtUpdate; left, width
};

// Across the search frame in comparison mode, in any one unit: the server list from listLeft takes
// rShare percent of the frame's width, the code view the rest, gap away from the list and from the
// frame's right edge.
template <typename Unit> struct ComparisonSpan
{
    Unit listWidth;
    Unit codeLeft;
    Unit codeWidth;
};

template <typename Unit>
ComparisonSpan<Unit> comparisonSpan(Unit frameWidth, Unit listLeft, int rShare, Unit gap)
{
    const Unit listWidth = frameWidth * rShare / 100;
    const Unit codeLeft = listLeft + listWidth + gap;
    return {listWidth, codeLeft, frameWidth - codeLeft - gap};
}

// Form_Resize: places every region and clamps the proportions to the limits.
Result compute(const Input& in);

// The new vertical-bar proportion when the bar is dragged to candidate (its left), or none
// when candidate is within 700 of the left edge or 1000 of the right edge.
std::optional<double> dragVerticalBar(double width, double candidate);

// The new horizontal-bar proportion when the bar is dragged to candidate (its top), or none
// when candidate is within 2000 of the top or 3500 of the bottom.
std::optional<double> dragHorizontalBar(double height, double candidate);

} // namespace WindowLayout
