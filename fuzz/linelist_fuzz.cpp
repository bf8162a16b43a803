// The line list: SetText and Text against the oracle's byte-by-byte cutting
// and joining, the round trip through Text, and Insert, Delete, Move, Add,
// copies and moves of the list and setting it from one of its own lines
// against a plain vector (under AddressSanitizer a line left viewing storage
// that was let go is found).
//
// Input: the first half is the text; the second half is a list of
// operations, three bytes each (kind, index, index).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/linelist.h"
#include "fuzz_check.h"
#include "oracle.h"

using ixo::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t half = size / 2;
  const std::string text(reinterpret_cast<const char*>(data), half);

  ixo::LineList list;
  list.Add("left over");
  list.SetText(text);
  Check(ixo::oracle::Strings(list) == ixo::oracle::SplitLines(text), "SetText");
  const std::string joined = list.Text();
  Check(joined == ixo::oracle::JoinLines(list.Lines()), "Text");
  // No line holds CR, LF or a zero byte, so the text reads back the same.
  for (const std::string_view line : list.Lines()) {
    Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
          "line content");
  }
  Check(ixo::LineList(joined).Lines() == list.Lines(), "round trip");
  Check(ixo::LineList(joined).Text() == joined, "round trip text");

  std::vector<std::string> model = ixo::oracle::Strings(list);
  for (size_t k = half; k + 3 <= size; k += 3) {
    const size_t i = data[k + 1] % 16;
    const size_t j = data[k + 2] % 16;
    bool threw = false;
    switch (data[k] % 6) {
      case 0:
        try {
          list.Insert(i, std::to_string(k));
        } catch (const ixo::Error&) {
          threw = true;
        }
        Check(threw == (i > model.size()), "Insert bounds");
        if (!threw) model.insert(model.begin() + static_cast<long>(i), std::to_string(k));
        break;
      case 1:
        try {
          list.Delete(i);
        } catch (const ixo::Error&) {
          threw = true;
        }
        Check(threw == (i >= model.size()), "Delete bounds");
        if (!threw) model.erase(model.begin() + static_cast<long>(i));
        break;
      case 2:
        try {
          list.Move(i, j);
        } catch (const ixo::Error&) {
          threw = true;
        }
        Check(threw == (i >= model.size() || j >= model.size()), "Move bounds");
        if (!threw) {
          const std::string moved = model[i];
          model.erase(model.begin() + static_cast<long>(i));
          model.insert(model.begin() + static_cast<long>(j), moved);
        }
        break;
      case 3: {
        // A copy takes the place of the list, moved or copied in.
        ixo::LineList copy = list;
        list.Clear();
        if (j % 2 == 0) {
          list = std::move(copy);
        } else {
          list = copy;
        }
        break;
      }
      case 4:
        if (i < model.size()) {
          list.SetText(list[i]);
          model = ixo::oracle::SplitLines(model[i]);
        }
        break;
      default:
        list.Add(std::string(1, static_cast<char>(data[k + 1])));
        model.push_back(std::string(1, static_cast<char>(data[k + 1])));
        break;
    }
    Check(ixo::oracle::Strings(list) == model, "operations");
    Check(list.Count() == model.size(), "Count");
  }
  return 0;
}
