#include "platform/listcontrol/ListCells.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace vantor::lc {
namespace {

// A plain model of one item's cells, to compare the compact storage with.
struct ModelCell {
    std::string text;
    bool callback = false;
    bool hasImage = false;
    int image = 0;
};

enum class Op { Text, Callback, Image, InsertColumn, EraseColumn, CopyText };

struct Step {
    Op op;
    int column;
    std::string text = {};
    int image = 0;  // CopyText: the source column
};

void Apply(ListCells& cells, std::vector<ModelCell>& model, const Step& step)
{
    const auto at = static_cast<std::size_t>(step.column);
    if (step.op == Op::InsertColumn || step.op == Op::EraseColumn) {
        step.op == Op::InsertColumn ? cells.InsertColumn(step.column) : cells.EraseColumn(step.column);
        if (at < model.size() && step.op == Op::InsertColumn)
            model.insert(model.begin() + step.column, ModelCell{});
        else if (at < model.size())
            model.erase(model.begin() + step.column);
        return;
    }
    model.resize(std::max(model.size(), at + 1));
    ModelCell& cell = model[at];
    if (step.op == Op::Image) {
        cells.SetImage(step.column, step.image);
        cell.hasImage = true;
        cell.image = step.image;
        return;
    }
    // CopyText: the text points into the storage being rewritten.
    const std::string_view text = step.op == Op::CopyText ? cells.Get(step.image).text : std::string_view(step.text);
    cell.callback = step.op == Op::Callback;
    cell.text = cell.callback ? "" : std::string(text);
    cells.SetText(step.column, text, cell.callback);
}

void ExpectSame(const ListCells& cells, const std::vector<ModelCell>& model, const std::string& label)
{
    for (std::size_t c = 0; c < model.size() + 3; ++c) {
        const ModelCell want = c < model.size() ? model[c] : ModelCell{};
        const ListCell got = cells.Get(static_cast<int>(c));
        ASSERT_EQ(std::tie(got.text, got.callback, got.hasImage, got.image),
                  std::tie(want.text, want.callback, want.hasImage, want.image))
            << label << ", column " << c;
    }
}

TEST(ListCells, ReadsBackWhatWasWrittenAndNeedsNoHeapForCallbacksOnly)
{
    const std::string long300(300, 'x');
    const std::string long20000(20000, 'y');
    struct Case {
        const char* label;
        std::vector<Step> steps;
        bool heapFree;
    };
    const std::vector<Case> table = {
        {"device row: six callbacks",
         {{Op::Callback, 0},
          {Op::Callback, 1},
          {Op::Callback, 2},
          {Op::Callback, 3},
          {Op::Callback, 4},
          {Op::Callback, 5}},
         true},
        {"texts around a callback", {{Op::Text, 0, "alpha"}, {Op::Callback, 2}, {Op::Text, 3, ""}}, false},
        {"image without text", {{Op::Image, 2, "", 7}}, false},
        {"callback keeps the image", {{Op::Image, 1, "", -3}, {Op::Text, 1, "x"}, {Op::Callback, 1}}, false},
        {"long texts", {{Op::Text, 0, long300}, {Op::Text, 1, long20000}, {Op::Text, 2, "z"}}, false},
        {"callback past the word's columns", {{Op::Callback, 1}, {Op::Callback, 70}}, false},
        {"insert moves callbacks", {{Op::Callback, 0}, {Op::Callback, 2}, {Op::InsertColumn, 1}}, true},
        {"insert moves the last callback out of the word", {{Op::Callback, 62}, {Op::InsertColumn, 0}}, false},
        {"insert past the stored cells", {{Op::Text, 0, "a"}, {Op::InsertColumn, 1}}, false},
        {"erase moves texts back",
         {{Op::Text, 0, "a"}, {Op::Text, 1, "b"}, {Op::Text, 2, "c"}, {Op::EraseColumn, 0}},
         false},
        {"text cleared leaves callbacks in the word", {{Op::Callback, 0}, {Op::Text, 1, "t"}, {Op::Text, 1, ""}}, true},
        {"everything cleared", {{Op::Text, 0, "a"}, {Op::Callback, 3}, {Op::Text, 0, ""}, {Op::EraseColumn, 3}}, true},
        {"copy of its own text", {{Op::Text, 0, long300}, {Op::Text, 1, "b"}, {Op::CopyText, 1, "", 0}}, false},
    };
    for (const Case& row : table) {
        ListCells cells;
        std::vector<ModelCell> model;
        for (const Step& step : row.steps)
            Apply(cells, model, step);
        ExpectSame(cells, model, row.label);
        EXPECT_EQ(cells.HeapBytes() == 0, row.heapFree) << row.label;
        const ListCells moved = std::move(cells);
        ExpectSame(moved, model, std::string(row.label) + " (moved)");
    }
}

TEST(ListCells, RandomEditsMatchAPlainModel)
{
    std::mt19937 random(2024);
    const std::vector<std::string> texts = {"", "a", "192.168.1.20", std::string(130, 'q'), "\xC3\xA9t\xC3\xA9"};
    for (int round = 0; round < 200; ++round) {
        ListCells cells;
        std::vector<ModelCell> model;
        for (int i = 0; i < 30; ++i) {
            const int column = static_cast<int>(random() % 8 == 0 ? 60 + random() % 10 : random() % 8);
            Step step{static_cast<Op>(random() % 6), column, texts[random() % texts.size()],
                      static_cast<int>(random() % 8)};
            Apply(cells, model, step);
            ExpectSame(cells, model, "round " + std::to_string(round) + " step " + std::to_string(i));
        }
    }
}

}  // namespace
}  // namespace vantor::lc
