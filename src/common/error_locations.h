// Location numbers of the procedures that hand errors to the error window.
// They travel in every error report, so they are part of the report's data
// contract: never renumber them, and never reuse a gap.
#pragma once

#include <cstdint>

namespace trevalon::location {

inline constexpr std::int32_t kCheckSpeedClick = 6;                 // cmdCheckSpeed_Click
inline constexpr std::int32_t kCompareDrivesClick = 7;              // cmdCompareDrives_Click
inline constexpr std::int32_t kCopyComparisonClick = 8;             // cmdCopyComparison_Click
inline constexpr std::int32_t kDriveSpeedFormLoad = 9;              // frmDriveSpeed Form_Load
inline constexpr std::int32_t kDriveSpeedFormUnload = 10;           // frmDriveSpeed Form_Unload
inline constexpr std::int32_t kAboutClick = 11;                     // mnuAbout_Click
inline constexpr std::int32_t kDriveSpeedComparisonClick = 12;      // mnuDriveSpeedComparison_Click
inline constexpr std::int32_t kMirrowinOnlineClick = 13;            // mnuMirrowinOnline_Click
inline constexpr std::int32_t kExitClick = 14;                      // mnuExit_Click
inline constexpr std::int32_t kHelpDetailClick = 15;                // mnuHelpDetail_Click
inline constexpr std::int32_t kMultiDriveCopyCheckClick = 16;       // mnuMultiDriveCopyCheck_Click
inline constexpr std::int32_t kSingleDriveDetailedCheckClick = 18;  // mnuSingleDriveDetailedCheck_Click
inline constexpr std::int32_t kErrorsCancelClick = 19;              // frmErrors cmdCancel_Click
inline constexpr std::int32_t kErrorsFormActivate = 21;             // frmErrors Form_Activate
inline constexpr std::int32_t kErrorsFormGotFocus = 22;             // frmErrors Form_GotFocus
inline constexpr std::int32_t kNewReleaseCmd1Click = 34;            // frmNewRelease cmd1_Click
inline constexpr std::int32_t kShowWebPage = 45;                    // ShowWebPage
inline constexpr std::int32_t kInitializeAppTimer = 46;             // frmSplash tmrInitializeApp_Timer
inline constexpr std::int32_t kMain = 52;                           // basGeneral Main
inline constexpr std::int32_t kCopyResultsClick = 53;               // mnuCopyResults_Click

}  // namespace trevalon::location
