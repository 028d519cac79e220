// Writes the XScreenSaver description of the saver to standard output, from the settings table:
// one control per command-line override. The build runs it; the result is installed.
//
// XScreenSaver passes nothing for a control left at its default, and the run then takes the
// value saved with `tavrik -c`. So every default here means "as saved": the selects start with
// an option that passes nothing, and the harrier count's default is 0, outside its range, so
// that every count a user picks, 15 included, is passed on.
#include <cstdio>
#include <string_view>

#include "config/settings.h"

namespace {

struct Labels {
  const char* option;
  const char* label;       // of a number
  const char* saved;       // of a select's first option, which passes nothing
  const char* choices[4];  // of its other options, in the order of the field's choices
};

constexpr Labels kLabels[] = {
    {"harriers", "Harriers without formation or in a line (0: as saved)", nullptr, {}},
    {"resolution",
     nullptr,
     "Saved resolution",
     {"640 by 480", "800 by 600", "1024 by 768", "The screen's own size"}},
    {"clouds", nullptr, "Saved cloud tiles", {"Solid cloud tiles", "Wire-frame cloud tiles"}},
    {"formation",
     nullptr,
     "Saved formation",
     {"No formation", "Triangle formation", "Line formation", "Random formation"}},
    {"triangle",
     nullptr,
     "Saved triangle size",
     {"Triangle of 9", "Triangle of 16", "Triangle of 25"}},
};

const Labels* labelsOf(std::string_view option) {
  for (const Labels& labels : kLabels) {
    if (option == labels.option) {
      return &labels;
    }
  }
  return nullptr;
}

void writeNumber(const tavrik::SettingField& field, const Labels& labels) {
  std::printf(
      "  <number id=\"%s\" type=\"spinbutton\" arg=\"--%s %%\"\n"
      "          _label=\"%s\"\n"
      "          low=\"0\" high=\"%d\" default=\"0\"/>\n\n",
      field.option, field.option, labels.label, field.high);
}

void writeSelect(const tavrik::SettingField& field, const Labels& labels) {
  std::printf("  <select id=\"%s\">\n", field.option);
  std::printf("    <option id=\"%s-saved\" _label=\"%s\"/>\n", field.option, labels.saved);
  for (int i = 0; i < field.choiceCount && i < 4; ++i) {
    const char* word = field.choices[i].word;
    const char* label = labels.choices[i] != nullptr ? labels.choices[i] : word;
    std::printf("    <option id=\"%s-%s\" _label=\"%s\" arg-set=\"--%s %s\"/>\n", field.option,
                word, label, field.option, word);
  }
  std::printf("  </select>\n\n");
}

}  // namespace

int main() {
  std::printf(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
      "<screensaver name=\"tavrik\" _label=\"TAVRIK\">\n\n"
      "  <command arg=\"--root\"/>\n\n");
  for (const tavrik::SettingField& field : tavrik::settingFields(tavrik::kWindowSizeModes)) {
    const Labels* labels = field.option != nullptr ? labelsOf(field.option) : nullptr;
    if (labels == nullptr) {
      continue;
    }
    if (field.choices == nullptr) {
      writeNumber(field, *labels);
    } else {
      writeSelect(field, *labels);
    }
  }
  // The slider passes microseconds a frame; "invert" puts the fast end, no delay, on the right.
  std::printf(
      "  <number id=\"delay\" type=\"slider\" arg=\"--delay %%\"\n"
      "          _label=\"Frame rate\" _low-label=\"Low\" _high-label=\"High\"\n"
      "          low=\"0\" high=\"%u\" default=\"0\" convert=\"invert\"/>\n\n"
      "  <boolean id=\"showfps\" _label=\"Show frame rate\" arg-set=\"--fps\"/>\n\n"
      "  <_description>\n"
      "A flight of arrow-shaped harriers chases a spinning ring-shaped quarry over a\n"
      "chequerboard of cloud tiles, while a camera director cuts between shots of the chase.\n"
      "\n"
      "Without formation the harrier count flies; a line flies that count behind a leader; the\n"
      "triangle flies its own size, 9, 16 or 25, behind a leader. A control left at \"saved\" or\n"
      "at 0 keeps the value saved with \"tavrik -c\", else the default.\n"
      "\n"
      "Written by the TAVRIK developers; 2026.\n"
      "  </_description>\n"
      "</screensaver>\n",
      100000u);
  return 0;
}
