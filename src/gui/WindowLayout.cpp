#include "gui/WindowLayout.h"

namespace WindowLayout {

Result compute(const Input& in)
{
    Result r;
    const double W = in.width;
    const double H = in.height;

    double x = in.splitterXPercent;
    if (W * x < 1000) {
        x = 1000 / W;
    }
    if ((1 - x) * W < 700) {
        x = 1 - 700 / W;
    }
    r.splitterXPercent = x;
    r.verticalBar.left = (1 - x) * W;
    r.code.top = in.editorTop;

    r.tree.left = in.treeLeft;
    r.tree.top = in.treeTop;
    double y = in.splitterYPercent;
    if (in.searchVisible) {
        r.horizontalBarVisible = true;
        if (H * y < 3500) {
            y = 3500 / H;
        }
        if ((1 - y) * H < 2000) {
            y = 1 - 2000 / H;
        }
        r.horizontalBar.top = (1 - y) * H;
        r.search.left = in.treeLeft;
        r.search.width = W - 350;
        r.search.top = r.horizontalBar.top + 30;
        r.search.height = H - r.horizontalBar.top - 1125 - 150;
        r.horizontalBar.width = r.search.width;
        r.results.width = r.search.width - 250;
        r.results.height = r.search.height - 1000 - 200;
        const ComparisonSpan<double> span =
            comparisonSpan(r.search.width, in.remoteListLeft, in.rShare, 150.0);
        r.remoteList.left = in.remoteListLeft;
        r.remoteList.width = span.listWidth;
        r.remoteList.height = r.search.height - 500;
        r.remoteCode.left = span.codeLeft;
        r.remoteCode.width = span.codeWidth;
        r.remoteCode.height = r.remoteList.height;
        r.tree.height = r.search.top - r.tree.top - 100;
    } else {
        r.tree.height = H - 1750;
    }
    r.splitterYPercent = y;

    r.tree.width = r.verticalBar.left - 175;
    r.verticalBar.top = r.tree.top;
    r.verticalBar.height = r.tree.height;
    // A taller block of fields above the editor takes its extra height from the editor, so both
    // columns still end together.
    r.code.height = r.tree.height - 700 - (in.editorTop - 1200);
    r.code.left = r.verticalBar.left + 100;
    r.code.width = W - r.code.left - 525;
    r.title.left = r.code.left;
    r.title.width = r.code.width;
    r.keywords.left = r.code.left;
    r.keywords.width = (r.code.width - 200) / 3;
    r.object.width = r.keywords.width;
    r.update.width = r.keywords.width;
    r.object.left = r.keywords.left + r.keywords.width + 100;
    r.update.left = r.object.left + r.object.width + 100;
    return r;
}

std::optional<double> dragVerticalBar(double width, double candidate)
{
    if (700 < candidate && candidate < width - 1000) {
        return (width - candidate) / width;
    }
    return std::nullopt;
}

std::optional<double> dragHorizontalBar(double height, double candidate)
{
    if (2000 < candidate && candidate < height - 3500) {
        return (height - candidate) / height;
    }
    return std::nullopt;
}

} // namespace WindowLayout
