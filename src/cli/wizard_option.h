#pragma once
// The --wizard option: the settings wizard's five answers on one line,
// "CATEGORY,EQ,HISS,CLICKS,WEAR", each a zero-based index or the choice's
// text in any letter case ("HMV,riaa / ccir,1,2,0").

#include <string>
#include <string_view>
#include <variant>

#include "settings/restoration_settings.h"

namespace sonorel {

// The answers, or a message saying which answer is wrong and what it may be.
std::variant<WizardAnswers, std::string> ParseWizardAnswers(std::string_view text);

}  // namespace sonorel
