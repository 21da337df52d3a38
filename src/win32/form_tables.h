// Every window's description, made from the toolkit-free form tables that
// the Qt shell is built from too.
#pragma once

#include "win32/form_window.h"

namespace trevalon::win32 {

FormDescription DriveSpeedForm();
FormDescription SplashForm();
FormDescription ErrorsForm();
FormDescription AboutForm();
FormDescription NewReleaseForm();

}  // namespace trevalon::win32
