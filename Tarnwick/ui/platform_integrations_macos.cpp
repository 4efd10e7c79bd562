#include "ui/platform_integrations.h"

#include "integrations/language.h"
#include "integrations/login_item.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <objc/message.h>
#include <objc/runtime.h>

namespace {

constexpr const char* kBundleIdentifier = "com.ulmarsh.tarnwick";

// The login-item service serves only the bundle it is asked from, found by its
// Info.plist beside Contents/MacOS; a program run from elsewhere (a build
// tree, a package manager's bin) uses a launch agent.
bool runsFromTheBundle() {
  const QString plist = QCoreApplication::applicationDirPath() + QStringLiteral("/../Info.plist");
  if (!QFileInfo::exists(plist)) return false;
  QSettings info(plist, QSettings::NativeFormat);
  return info.value(QStringLiteral("CFBundleIdentifier")).toString() == QLatin1String(kBundleIdentifier);
}

// SMAppService.mainAppService through the Objective-C runtime, so this file
// stays C++. Null when the class is missing (before macOS 13).
id mainAppService() {
  Class serviceClass = objc_getClass("SMAppService");
  if (!serviceClass) return nullptr;
  return reinterpret_cast<id (*)(Class, SEL)>(objc_msgSend)(serviceClass, sel_registerName("mainAppService"));
}

class SystemLoginService final : public LoginService {
 public:
  bool isEnabled() override {
    id service = mainAppService();
    if (!service) return false;
    constexpr long kEnabled = 1;  // SMAppServiceStatusEnabled
    return reinterpret_cast<long (*)(id, SEL)>(objc_msgSend)(service, sel_registerName("status")) == kEnabled;
  }
  void enable() override { call("registerAndReturnError:"); }
  void disable() override { call("unregisterAndReturnError:"); }

 private:
  static void call(const char* selector) {
    id service = mainAppService();
    if (!service) return;
    id error = nullptr;
    reinterpret_cast<BOOL (*)(id, SEL, id*)>(objc_msgSend)(service, sel_registerName(selector), &error);
  }
};

}  // namespace

// The list from System Settings, best first ("tr-TR", "en-US").
std::vector<std::string> platformLanguages() {
  std::vector<std::string> languages;
  for (const QString& locale : QLocale::system().uiLanguages())
    if (auto language = L10n::languageOfLocale(locale.toStdString())) languages.push_back(*language);
  return languages;
}

std::shared_ptr<LoginService> makePlatformLoginService() {
  if (!runsFromTheBundle()) return nullptr;
  return std::make_shared<SystemLoginService>();
}
