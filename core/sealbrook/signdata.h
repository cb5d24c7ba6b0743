// The control SignData: the visible signature block. Its whole state is what its members hold:
// the two pictures and the two timers' intervals. Everything it does is an event handler.
#pragma once

#include <cstdint>
#include <string_view>

#include "automation/date_text.h"
#include "host/pictures.h"
#include "host/units.h"
#include "sealbrook/ports.h"
#include "text/shown.h"
#include "text/tcvn3.h"

namespace sealbrook {

// The control's fixed picture files (never written by the system; read at each use).
using host::kInvalidPicture;
using host::kSignaturePicture;
using host::kValidPicture;

// Size of the control's surface when first inserted, and of its members, in twips.
using host::TwipRect;
inline constexpr TwipRect kSurface{0, 0, 3600, 2040};
inline constexpr TwipRect kPicture1{0, 0, 3585, 2025};
inline constexpr TwipRect kImage1{0, 0, 3540, 1770};

class SignData {
 public:
  // The dates, the code page and the fonts are the user's: how the verify command writes dates,
  // how a TCVN3 byte becomes a character, and whether its boxes show TCVN3 or Unicode.
  SignData(Runtime& runtime, Surface& surface, Site& site,
           const automation::DateText& dates = automation::DateText::standard(),
           const text::AnsiCodePage& codePage = text::AnsiCodePage::latin1(),
           const text::Faces& faces = text::Faces::tcvn3())
      : runtime_(runtime),
        surface_(surface),
        site_(site),
        dates_(dates),
        codePage_(codePage),
        faces_(faces) {}
  ~SignData() = default;
  SignData(const SignData&) = delete;
  SignData& operator=(const SignData&) = delete;

  // The members' state.
  const PicturePtr& Picture1() const noexcept { return picture1_; }  // the status picture
  const PicturePtr& Image1() const noexcept { return image1_; }      // the signature picture
  uint32_t Timer1Interval() const noexcept { return timer1_; }
  uint32_t Timer2Interval() const noexcept { return timer2_; }

  // Events.
  void Image1_Click() { ShowPopup(); }
  void UserControl_DblClick() { ShowPopup(); }
  void mnuSign_Click();
  void mnuVerify_Click();
  void Timer1_Timer();
  void Timer2_Timer();
  // A tick of a timer: its Timer event, while the timer runs. A tick that the platform had
  // queued before the timer stopped runs nothing.
  void Tick(TimerId timer);
  // Received and doing nothing: GotFocus, Initialize, InitProperties, ReadProperties,
  // WriteProperties, Terminate of the UserControl.

 private:
  void ShowPopup();
  void Verify();
  automation::ObjectRef Application();
  PicturePtr LoadPicture(std::u16string_view path);
  void setPicture1(PicturePtr picture);
  void setImage1(PicturePtr picture);
  void setInterval(TimerId timer, uint32_t milliseconds);

  Runtime& runtime_;
  Surface& surface_;
  Site& site_;
  const automation::DateText& dates_;
  const text::AnsiCodePage& codePage_;
  const text::Faces& faces_;
  bool refreshing_ = false;  // a status refresh is running
  PicturePtr picture1_;
  PicturePtr image1_;
  uint32_t timer1_ = 5000;
  uint32_t timer2_ = 1000;
};

}  // namespace sealbrook
