#pragma once
// The shipped texts in English, for tests that compare what is shown.
#include "integrations/l10n.h"

#include <memory>

inline const L10n::Texts& englishTexts() {
  static const L10n::Texts texts(std::make_shared<const L10n::Catalog>(L10n::resources()), {"en"});
  return texts;
}
