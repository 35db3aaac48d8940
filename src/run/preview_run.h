#pragma once
// The whole preview of a loaded disc: every language's pages laid out (and handed to a
// painter), the findings of the pages, the texts and the skins, and the layout report.
#include <functional>
#include <string>
#include <vector>

#include "run/preview_plan.h"

struct PreviewResult {
    std::vector<PreviewPageLayout> pages;
    std::vector<PreviewFinding> findings;
};

// Goes through the languages in order (config ends on the language it started on) and, in
// each, through its pages with the skins the run would show them in; paint (may be empty) is
// called for every page while those skins are loaded.
PreviewResult previewDisc(SetupConfig& config, MenuFileList& files, PreviewMeasure& measure,
                          const std::function<void(const PlannedPage&)>& paint);

// preview\layout.json: every page with its controls (rectangle, text, font size in tenths of
// a point) and every finding with its line.
std::string layoutJson(const PreviewResult& result);
