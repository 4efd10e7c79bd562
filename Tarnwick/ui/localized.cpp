#include "ui/localized.h"

QString localized(const L10n::Texts& texts, const std::string& key) {
  return QString::fromStdString(texts.text(key));
}
