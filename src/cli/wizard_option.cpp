#include "cli/wizard_option.h"

#include <array>
#include <optional>
#include <vector>

#include "settings/presets.h"

namespace sonorel {

namespace {

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Pieces between commas, untrimmed, as views into `text`.
std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        text.remove_prefix(comma + 1);
    }
}

std::string ChoiceList(const std::array<std::string_view, 3>& choices) {
    std::string list;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) list += ", ";
        list += std::to_string(i) + " \"" + std::string(choices[i]) + "\"";
    }
    return list;
}

struct Question {
    const char* name;
    const std::array<std::string_view, 3>* choices;
    int WizardAnswers::*answer;
};

const std::array<Question, 4> kQuestions{{
    {"EQ (playback equalisation)", &kPlaybackChoices, &WizardAnswers::playback},
    {"HISS", &kHissChoices, &WizardAnswers::hissiness},
    {"CLICKS", &kClicksChoices, &WizardAnswers::scratchiness},
    {"WEAR", &kWearChoices, &WizardAnswers::roughness},
}};

std::optional<int> FindAnswer(int question, std::string_view text) {
    if (question == 0) return FindCategory(text);
    return FindChoice(*kQuestions[question - 1].choices, text);
}

void StoreAnswer(WizardAnswers& answers, int question, int value) {
    if (question == 0) {
        answers.category = value;
    } else {
        answers.*kQuestions[question - 1].answer = value;
    }
}

// One choice text has a comma of its own ("Some big, some small"), so an
// answer may span several comma-separated pieces: try the ways of grouping
// the pieces into five answers until each group is a valid answer.
bool GroupPieces(std::string_view text, const std::vector<std::string_view>& pieces,
                 std::size_t first, int question, WizardAnswers& answers) {
    if (question == 5) return first == pieces.size();
    for (std::size_t end = first + 1; end <= pieces.size(); ++end) {
        // The pieces first..end-1 with their commas, as they stand in `text`.
        const std::size_t from = static_cast<std::size_t>(pieces[first].data() - text.data());
        const std::size_t to =
            static_cast<std::size_t>(pieces[end - 1].data() - text.data()) + pieces[end - 1].size();
        if (const auto value = FindAnswer(question, TrimSpaces(text.substr(from, to - from)))) {
            StoreAnswer(answers, question, *value);
            if (GroupPieces(text, pieces, end, question + 1, answers)) return true;
        }
    }
    return false;
}

// More pieces than this cannot be five answers, even with commas in texts.
constexpr std::size_t kMaxPieces = 16;

}  // namespace

std::variant<WizardAnswers, std::string> ParseWizardAnswers(std::string_view text) {
    std::vector<std::string_view> fields = SplitAtCommas(text);
    if (fields.size() > 5 && fields.size() <= kMaxPieces) {
        WizardAnswers grouped;
        if (GroupPieces(text, fields, 0, 0, grouped)) return grouped;
    }
    for (std::string_view& field : fields)
        field = TrimSpaces(field);
    if (fields.size() != 5) {
        return "--wizard takes five answers separated by commas, CATEGORY,EQ,HISS,CLICKS,WEAR; "
               "got " +
               std::to_string(fields.size()) + " in \"" + std::string(text) + "\"";
    }

    WizardAnswers answers;
    const std::optional<int> category = FindCategory(fields[0]);
    if (!category) {
        return "--wizard: CATEGORY \"" + std::string(fields[0]) + "\" is not one of the " +
               std::to_string(kPresetCount) + " categories; give 0 to " +
               std::to_string(kPresetCount - 1) +
               " or a category name (sonorel-cli --list-categories shows them)";
    }
    answers.category = *category;

    for (std::size_t q = 0; q < kQuestions.size(); ++q) {
        const Question& question = kQuestions[q];
        const std::string_view field = fields[q + 1];
        const std::optional<int> choice = FindChoice(*question.choices, field);
        if (!choice) {
            return "--wizard: " + std::string(question.name) + " \"" + std::string(field) +
                   "\" is not one of " + ChoiceList(*question.choices);
        }
        answers.*question.answer = *choice;
    }
    return answers;
}

}  // namespace sonorel
