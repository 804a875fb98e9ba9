#pragma once

#include "LoudnessOverview.h"

#include <windows.h>

#include <string>

// The words of the chart, from the caller's string table.
struct LoudnessChartTexts {
    std::wstring nowTitle;
    std::wstring afterTitle;
    std::wstring countAxis;
    std::wstring nothingAnalysed; // shown instead of the bars when no track is analysed
};

// Draws a loudness picture into area with GDI: the histogram of the volumes
// now and, beside it, the one after Apply Gain, on the same dB scale, each with
// the target as a red line. Fills the whole area.
void paintLoudnessChart(HDC dc, const RECT& area, const LoudnessPicture& picture,
                        const LoudnessChartTexts& texts);
