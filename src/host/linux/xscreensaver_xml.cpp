// Writes the XScreenSaver description of the saver to standard output, from the settings table:
// one control per command-line override. The build runs it; the result is installed.
#include <cstdio>
#include <string_view>

#include "config/settings.h"

namespace {

struct Label {
  const char* option;
  const char* label;
};

constexpr Label kLabels[] = {
    {"harriers", "Number of harriers"},
    {"resolution", "Picture resolution"},
    {"clouds", "Cloud tiles"},
    {"formation", "Formation"},
    {"triangle", "Harriers in the triangle"},
};

const char* labelOf(std::string_view option) {
  for (const Label& label : kLabels) {
    if (option == label.option) {
      return label.label;
    }
  }
  return "";
}

void writeNumber(const tavrik::SettingField& field) {
  std::printf(
      "  <number id=\"%s\" type=\"slider\" arg=\"-%s %%\"\n"
      "          _label=\"%s\" _low-label=\"%d\" _high-label=\"%d\"\n"
      "          low=\"%d\" high=\"%d\" default=\"%d\"/>\n\n",
      field.option, field.option, labelOf(field.option), field.low, field.high, field.low,
      field.high, field.defaultValue);
}

// The first option passes nothing, so the run keeps the value stored by the settings dialog.
void writeSelect(const tavrik::SettingField& field) {
  std::printf("  <select id=\"%s\">\n", field.option);
  std::printf("    <option id=\"%s-stored\" _label=\"%s: as stored\"/>\n", field.option,
              labelOf(field.option));
  for (int i = 0; i < field.choiceCount; ++i) {
    const char* word = field.choices[i].word;
    std::printf("    <option id=\"%s-%s\" _label=\"%s: %s\" arg-set=\"-%s %s\"/>\n", field.option,
                word, labelOf(field.option), word, field.option, word);
  }
  std::printf("  </select>\n\n");
}

}  // namespace

int main() {
  std::printf(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
      "<screensaver name=\"tavrik\" _label=\"Tavrik\">\n\n"
      "  <command arg=\"-root\"/>\n\n");
  for (const tavrik::SettingField& field : tavrik::kSettingFields) {
    if (field.option == nullptr) {
      continue;
    }
    if (field.choices == nullptr) {
      writeNumber(field);
    } else {
      writeSelect(field);
    }
  }
  std::printf(
      "  <boolean id=\"showfps\" _label=\"Show frame rate\" arg-set=\"-fps\"/>\n\n"
      "  <_description>\n"
      "A flight of arrow-shaped harriers chases a spinning ring-shaped quarry over a\n"
      "chequerboard of cloud tiles, while a camera director cuts between shots of the chase.\n"
      "  </_description>\n"
      "</screensaver>\n");
  return 0;
}
