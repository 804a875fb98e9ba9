#include "LoudnessChart_win.h"

#include "ScopedHandle_win.h"

#include <algorithm>
#include <array>

namespace {

using ScopedGdiObject = ScopedHandle<HGDIOBJ, deleteGdiObject>;

constexpr int kMargin = 10;
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kAxis = RGB(96, 96, 96);
constexpr COLORREF kGrid = RGB(224, 224, 224);
constexpr COLORREF kNowBars = RGB(70, 110, 180);
constexpr COLORREF kAfterBars = RGB(60, 150, 80);
constexpr COLORREF kTarget = RGB(220, 0, 0);

// Selects an object into a DC for the lifetime of the holder.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc, previous); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    ScopedGdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

void line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour, int width) {
    ScopedGdiObject pen(CreatePen(PS_SOLID, width, colour));
    Selection selected(dc, pen.get());
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void text(HDC dc, const std::wstring& words, RECT rect, UINT format) {
    DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &rect, format | DT_NOPREFIX);
}

int textWidth(HDC dc, const std::wstring& words) {
    SIZE size{};
    GetTextExtentPoint32W(dc, words.c_str(), static_cast<int>(words.size()), &size);
    return size.cx;
}

// The step between labelled dB values: the smallest of these whose labels do
// not run into each other.
int labelStep(double binWidth, int labelWidth) {
    for (int step : {1, 2, 5, 10, 20}) {
        if (step * binWidth >= labelWidth) {
            return step;
        }
    }
    return 50;
}

struct Panel {
    const std::wstring& title;
    const std::vector<int>& bins;
    COLORREF colour;
};

void paintPanel(HDC dc, const RECT& area, const Panel& panel, const LoudnessPicture& picture,
                const std::wstring& countAxis, int lineHeight) {
    text(dc, panel.title, {area.left, area.top, area.right, area.top + lineHeight},
         DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    const int tallest = std::max(1, picture.tallestBin());
    const int axisWidth = std::max(textWidth(dc, std::to_wstring(tallest)), lineHeight) + 6;
    const RECT plot{area.left + axisWidth, area.top + 2 * lineHeight, area.right - 4,
                    area.bottom - lineHeight - 4};
    if (plot.right - plot.left < 8 || plot.bottom - plot.top < 8) {
        return;
    }
    const int plotWidth = plot.right - plot.left;
    const int plotHeight = plot.bottom - plot.top;
    text(dc, countAxis, {area.left, area.top + lineHeight, plot.right, area.top + 2 * lineHeight},
         DT_LEFT | DT_SINGLELINE);

    for (int count : {tallest / 2, tallest}) {
        if (count == 0) {
            continue;
        }
        const int y = plot.bottom - count * plotHeight / tallest;
        line(dc, plot.left, y, plot.right, y, kGrid, 1);
        text(dc, std::to_wstring(count),
             {area.left, y - lineHeight / 2, plot.left - 4, y + lineHeight / 2},
             DT_RIGHT | DT_SINGLELINE);
    }

    const int binCount = static_cast<int>(panel.bins.size());
    const double binWidth = double(plotWidth) / binCount;
    auto xOf = [&](double binEdge) { return plot.left + static_cast<int>(binEdge * binWidth); };
    const int gap = binWidth >= 6 ? 1 : 0;
    for (int i = 0; i < binCount; ++i) {
        const int count = panel.bins[static_cast<size_t>(i)];
        if (count == 0) {
            continue;
        }
        const int height = std::max(1, count * plotHeight / tallest);
        fill(dc,
             {xOf(i) + gap, plot.bottom - height, std::max(xOf(i + 1) - gap, xOf(i) + gap + 1),
              plot.bottom},
             panel.colour);
    }

    const int step = labelStep(binWidth, textWidth(dc, L"100") + 8);
    for (int i = 0; i <= binCount; ++i) {
        const int volume = picture.lowestBin + i;
        if (volume % step != 0) {
            continue;
        }
        const int x = xOf(i);
        line(dc, x, plot.bottom, x, plot.bottom + 3, kAxis, 1);
        text(dc, std::to_wstring(volume),
             {x - 20, plot.bottom + 3, x + 20, plot.bottom + 3 + lineHeight},
             DT_CENTER | DT_SINGLELINE);
    }
    line(dc, plot.left, plot.bottom, plot.right, plot.bottom, kAxis, 1);
    line(dc, plot.left, plot.top, plot.left, plot.bottom, kAxis, 1);

    const int targetX = xOf(picture.targetVolume - picture.lowestBin);
    line(dc, targetX, plot.top, targetX, plot.bottom, kTarget, 2);
}

} // namespace

void paintLoudnessChart(HDC dc, const RECT& area, const LoudnessPicture& picture,
                        const LoudnessChartTexts& texts) {
    fill(dc, area, kBackground);
    Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight + 2;

    const RECT inner{area.left + kMargin, area.top + kMargin, area.right - kMargin,
                     area.bottom - kMargin / 2};
    const RECT& panels = inner;
    if (picture.now.empty() || panels.right - panels.left < 2 * kMargin) {
        return;
    }
    if (picture.counts.analysed == 0) {
        text(dc, texts.nothingAnalysed, panels, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    const int middle = (panels.left + panels.right) / 2;
    const std::array sides{
        std::pair{RECT{panels.left, panels.top, middle - kMargin, panels.bottom},
                  Panel{texts.nowTitle, picture.now, kNowBars}},
        std::pair{RECT{middle + kMargin, panels.top, panels.right, panels.bottom},
                  Panel{texts.afterTitle, picture.after, kAfterBars}},
    };
    for (const auto& [rect, panel] : sides) {
        paintPanel(dc, rect, panel, picture, texts.countAxis, lineHeight);
    }
}
