#include "simword/model.h"

namespace simword {
namespace {

// Simple case folding for the scripts that menu captions use here: ASCII, Latin-1 and the
// Vietnamese letters of Latin Extended-A, -B and Additional.
char16_t fold(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c + 0x20);
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return char16_t(c + 0x20);
  if ((c >= 0x0100 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177) ||
      (c >= 0x1E00 && c <= 0x1E95) || (c >= 0x1EA0 && c <= 0x1EFF))
    return (c % 2 == 0) ? char16_t(c + 1) : c;
  if (c >= 0x0139 && c <= 0x0148) return (c % 2 == 1) ? char16_t(c + 1) : c;
  if (c == 0x01A0 || c == 0x01AF) return char16_t(c + 1);
  return c;
}

std::u16string matchKey(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (const char16_t c : s)
    if (c != u'&') out += fold(c);
  return out;
}

}  // namespace

bool captionsMatch(std::u16string_view a, std::u16string_view b) {
  return matchKey(a) == matchKey(b);
}

ControlPtr CommandBar::find(std::u16string_view caption) const {
  for (const auto& c : controls)
    if (captionsMatch(c->caption, caption)) return c;
  return nullptr;
}

CommandBarPtr CommandBarSet::find(std::u16string_view name) const {
  for (const auto& b : bars)
    if (captionsMatch(b->name, name)) return b;
  return nullptr;
}

void Document::edit(std::u16string content) {
  content_ = std::move(content);
  cursor_ = content_.size();
  changed();
}

void Document::insertAtCursor(char16_t c) {
  if (cursor_ > content_.size()) cursor_ = content_.size();
  content_.insert(content_.begin() + static_cast<std::ptrdiff_t>(cursor_), c);
  ++cursor_;
  changed();
}

Property* Document::findProperty(std::u16string_view name) {
  for (auto& p : properties)
    if (captionsMatch(p.name, name)) return &p;
  return nullptr;
}

void SigningService::willSign(Variant signer, Variant issuer, Variant expireDate,
                              Variant signDate) {
  Outcome o;
  o.signature =
      Signature{std::move(signer), std::move(issuer), std::move(expireDate), std::move(signDate)};
  queue_.push_back(std::move(o));
}

void SigningService::willCancel() {
  queue_.push_back({std::nullopt, automation::hr::kFail, {}});
}

void SigningService::willFail(HResult hresult, std::u16string description) {
  queue_.push_back({std::nullopt, hresult, std::move(description)});
}

SigningService::Outcome SigningService::next() {
  if (queue_.empty()) return {defaultSignature(), automation::hr::kOk, {}};
  Outcome o = std::move(queue_.front());
  queue_.pop_front();
  return o;
}

Signature SigningService::defaultSignature() {
  return Signature{Variant(u"Nguy\u1EC5n V\u0103n An"), Variant(u"Vietnam Test CA"),
                   Variant(automation::Date{47118.0}),   // 2028-12-31
                   Variant(automation::Date{46364.5})};  // 2026-12-08 12:00
}

}  // namespace simword
