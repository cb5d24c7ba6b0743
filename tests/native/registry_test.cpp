// Writing a registration's rows and removing them again, on a registry in memory: what stays for
// others, what stays while the other architecture's build is registered, the order, and what a
// failure stops. The Windows suites do the same on the real registry, for one build at a time.
#include "registration/registry.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/unicode.h"

namespace registration {
namespace {

using automation::Guid;
using automation::HResult;
namespace hr = automation::hr;
using testing::ElementsAre;

// Keys by path with their values; a key's parents are made with it. The other architecture's
// view holds only the keys put there; the keys below the roots named in `apart` are this view's
// alone (64-bit Windows keeps CLSID and Interface apart for each view), every other key is the
// same key in both views.
class MemoryRegistry final : public Registry {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::set<std::string> otherView;
  std::set<std::string> apart;
  std::vector<std::string> calls;
  std::set<std::string> failing;  // keys whose writing or deletion fails

  HResult write(const Key& k) override {
    const std::string path = text::toUtf8(k.path());
    calls.push_back("write " + path);
    if (failing.count(path)) return hr::kAccessDenied;
    for (size_t at = path.find('\\'); at != path.npos; at = path.find('\\', at + 1))
      keys[path.substr(0, at)];
    auto& values = keys[path];
    for (const Value& v : k.values())
      values[text::toUtf8(v.name)] = v.number ? std::to_string(*v.number) : text::toUtf8(v.text);
    return hr::kOk;
  }
  bool exists(const std::u16string& path, View view) override {
    const std::string p = text::toUtf8(path);
    return view == View::Same ? keys.count(p) != 0 : otherView.count(p) != 0;
  }
  bool sharedBetweenViews(const std::u16string& path) override {
    const std::string p = text::toUtf8(path);
    return keys.count(p) != 0 && apart.count(p.substr(0, p.find('\\'))) == 0;
  }
  HResult deleteTree(const std::u16string& path) override {
    const std::string p = text::toUtf8(path);
    calls.push_back("delete tree " + p);
    if (failing.count(p)) return hr::kAccessDenied;
    keys.erase(p);
    for (auto it = keys.lower_bound(p + "\\");
         it != keys.end() && it->first.rfind(p + "\\", 0) == 0;)
      it = keys.erase(it);
    return hr::kOk;
  }
  bool deleteValues(const std::u16string& path, const std::vector<Value>& values) override {
    const auto key = keys.find(text::toUtf8(path));
    if (key == keys.end()) return false;
    calls.push_back("delete values " + key->first);
    for (const Value& v : values) key->second.erase(text::toUtf8(v.name));
    return true;
  }
  bool isEmpty(const std::u16string& path) override {
    const std::string p = text::toUtf8(path);
    const auto key = keys.find(p);
    if (key == keys.end() || !key->second.empty()) return false;
    const auto next = std::next(key);
    return next == keys.end() || next->first.rfind(p + "\\", 0) != 0;
  }
  void deleteKey(const std::u16string& path) override {
    calls.push_back("delete key " + text::toUtf8(path));
    keys.erase(text::toUtf8(path));
  }
};

constexpr Guid kLibid = Guid::parse("{50E56C7A-B8A2-4534-B258-F0D288084B3C}");
constexpr Guid kClsid = Guid::parse("{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}");
constexpr Guid kIid = Guid::parse("{DEA3D560-A645-43D5-BDF6-A07383F18A83}");
const std::string kLib = "TypeLib\\{50E56C7A-B8A2-4534-B258-F0D288084B3C}";
const std::string kCls = "CLSID\\{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}";
const std::string kItf = "Interface\\{DEA3D560-A645-43D5-BDF6-A07383F18A83}";

std::vector<Key> rows(Architecture architecture) {
  Library library({kLibid, 100, 0, u"Sealbrook", 2, 0}, u"C:\\Controls\\Sealbrook.ocx",
                  architecture);
  library.addClass({kClsid, u"Sealbrook.SignData", u"Sealbrook.SignData"})
      .addInterface(kIid, u"_SignData");
  return library.keys();
}

std::vector<std::string> paths(const MemoryRegistry& registry) {
  std::vector<std::string> out;
  for (const auto& [path, values] : registry.keys) out.push_back(path);
  return out;
}

// What the machine holds before: the roots and another library's class.
MemoryRegistry machine() {
  MemoryRegistry registry;
  registry.keys["CLSID"];
  registry.keys["CLSID\\{00000000-0000-0000-0000-000000000001}"][""] = "another class";
  registry.keys["Interface"];
  registry.keys["TypeLib"];
  return registry;
}

TEST(Unregistering, RemovesWhatRegisteringWroteChildrenFirstAndLeavesTheRegistryAsItWas) {
  MemoryRegistry registry = machine();
  const auto before = registry.keys;
  const std::vector<Key> keys = rows(Architecture::X64);
  ASSERT_EQ(writeKeys(keys, registry), hr::kOk);
  EXPECT_EQ(registry.keys.at(kCls + "\\InprocServer32").at("ThreadingModel"), "Apartment");
  registry.calls.clear();
  ASSERT_EQ(removeKeys(keys, registry), hr::kOk);
  EXPECT_EQ(registry.keys, before);
  EXPECT_THAT(
      registry.calls,
      ElementsAre("delete tree " + kItf + "\\TypeLib", "delete tree " + kItf + "\\ProxyStubClsid32",
                  "delete tree " + kItf + "\\ProxyStubClsid", "delete tree " + kItf,
                  "delete tree " + kCls + "\\Version", "delete tree " + kCls + "\\TypeLib",
                  "delete tree " + kCls + "\\InprocServer32", "delete tree " + kCls + "\\ProgID",
                  "delete tree " + kCls, "delete tree Sealbrook.SignData\\CLSID",
                  "delete tree Sealbrook.SignData", "delete tree " + kLib + "\\64.0\\0\\win64",
                  "delete values " + kLib + "\\64.0\\0", "delete key " + kLib + "\\64.0\\0",
                  "delete tree " + kLib + "\\64.0\\HELPDIR",
                  "delete tree " + kLib + "\\64.0\\FLAGS", "delete tree " + kLib + "\\64.0",
                  "delete values " + kLib, "delete key " + kLib));
}

TEST(Unregistering, CommonKeysLoseOnlyOurValuesAndStayWhileAnythingElseIsInThem) {
  MemoryRegistry registry = machine();
  const std::vector<Key> keys = {Key::common(u"Software\\Addins\\Penvane.Connect")
                                     .value(u"FriendlyName", u"Penvane")
                                     .number(u"LoadBehavior", 3)};
  ASSERT_EQ(writeKeys(keys, registry), hr::kOk);
  registry.keys["Software\\Addins\\Penvane.Connect"]["CommandLineSafe"] = "0";  // another's
  ASSERT_EQ(removeKeys(keys, registry), hr::kOk);
  EXPECT_EQ(registry.keys.at("Software\\Addins\\Penvane.Connect"),
            (std::map<std::string, std::string>{{"CommandLineSafe", "0"}}));
  // A common key that is not there is nothing to remove.
  registry.keys.erase("Software\\Addins\\Penvane.Connect");
  registry.calls.clear();
  EXPECT_EQ(removeKeys(keys, registry), hr::kOk);
  EXPECT_TRUE(registry.calls.empty());
}

TEST(Unregistering, SharedKeysStayWhileTheOtherArchitecturesBuildIsRegistered) {
  MemoryRegistry registry = machine();
  ASSERT_EQ(writeKeys(rows(Architecture::X86), registry), hr::kOk);
  ASSERT_EQ(writeKeys(rows(Architecture::X64), registry), hr::kOk);
  registry.otherView.insert(kCls);  // the x86 build's class, in the 32-bit view
  ASSERT_EQ(removeKeys(rows(Architecture::X64), registry), hr::kOk);
  // The type library's and the interface's keys, and the ProgID, are the x86 build's too; the
  // class keys of this view and the x64 path are this build's alone.
  EXPECT_THAT(
      paths(registry),
      ElementsAre("CLSID", "CLSID\\{00000000-0000-0000-0000-000000000001}", "Interface", kItf,
                  kItf + "\\ProxyStubClsid", kItf + "\\ProxyStubClsid32", kItf + "\\TypeLib",
                  "Sealbrook.SignData", "Sealbrook.SignData\\CLSID", "TypeLib", kLib,
                  kLib + "\\64.0", kLib + "\\64.0\\0", kLib + "\\64.0\\0\\win32",
                  kLib + "\\64.0\\FLAGS", kLib + "\\64.0\\HELPDIR"));
  // Once the x86 build is gone as well, nothing is left.
  registry.otherView.clear();
  const auto before = machine().keys;
  ASSERT_EQ(removeKeys(rows(Architecture::X86), registry), hr::kOk);
  EXPECT_EQ(registry.keys, before);
}

// Where each view holds the classes and the interfaces apart, the x86 build has its own
// interface keys in its own view: this build's go with it, and only the type library's keys and
// the ProgID, which both views share, stay for the x86 build.
TEST(Unregistering, KeysEachViewHoldsApartGoWithTheBuildWhileTheOtherBuildIsRegistered) {
  MemoryRegistry registry = machine();
  registry.apart = {"CLSID", "Interface"};
  ASSERT_EQ(writeKeys(rows(Architecture::X64), registry), hr::kOk);
  registry.keys[kLib + "\\64.0\\0\\win32"][""] = "C:\\x86\\Sealbrook.ocx";  // shared
  registry.otherView.insert(kCls);  // the x86 build's class, in the 32-bit view
  ASSERT_EQ(removeKeys(rows(Architecture::X64), registry), hr::kOk);
  EXPECT_THAT(paths(registry),
              ElementsAre("CLSID", "CLSID\\{00000000-0000-0000-0000-000000000001}", "Interface",
                          "Sealbrook.SignData", "Sealbrook.SignData\\CLSID", "TypeLib", kLib,
                          kLib + "\\64.0", kLib + "\\64.0\\0", kLib + "\\64.0\\0\\win32",
                          kLib + "\\64.0\\FLAGS", kLib + "\\64.0\\HELPDIR"));
}

TEST(Unregistering, AFailureStopsWritingButNotRemovingAndTheLastFailureIsTheAnswer) {
  MemoryRegistry registry = machine();
  const std::vector<Key> keys = rows(Architecture::X64);
  registry.failing = {kCls};
  EXPECT_EQ(writeKeys(keys, registry), hr::kAccessDenied);
  EXPECT_EQ(registry.calls.back(), "write " + kCls);
  EXPECT_EQ(registry.keys.count(kCls + "\\ProgID"), 0u);  // nothing after the failure

  registry.failing = {};
  ASSERT_EQ(writeKeys(keys, registry), hr::kOk);
  registry.failing = {kCls, kItf};
  EXPECT_EQ(removeKeys(keys, registry), hr::kAccessDenied);
  // Everything else went; only the keys whose deletion failed are left.
  EXPECT_THAT(paths(registry), ElementsAre("CLSID", "CLSID\\{00000000-0000-0000-0000-000000000001}",
                                           kCls, "Interface", kItf, "TypeLib"));
}

}  // namespace
}  // namespace registration
