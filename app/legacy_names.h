#pragma once

// Texts the program writes or shows that still carry the names of its first
// version's forms and handlers. They stay exactly as they were, so that logs
// and screens stay comparable; the code refers to them by plain names.

namespace tessarel {

/// The toolbar's title, which the window's context menu lists.
inline constexpr char16_t kToolbarTitle[] = u"Toolbar1";

/// Where a reported error happened, as error.log records it.

struct ErrorSite {
    const char16_t* module;
    const char16_t* procedure;
};

namespace sites {

inline constexpr char16_t kMainWindow[] = u"frmMain";
inline constexpr char16_t kProgressWindow[] = u"frmProgress";
inline constexpr char16_t kFilesDialog[] = u"frmAddFiles";
inline constexpr char16_t kDestinationDialog[] = u"frmDestPath";

// The main window and its commands.
inline constexpr ErrorSite kAskToSave{kMainWindow, u"DoYouWantToSave"};
inline constexpr ErrorSite kUnloadProject{kMainWindow, u"CloseProject"};
inline constexpr ErrorSite kCloseProject{kMainWindow, u"mnuCloseProject_Click"};
inline constexpr ErrorSite kExit{kMainWindow, u"mnuFileExit_Click"};
inline constexpr ErrorSite kOpenCommandLineFile{kMainWindow, u"tmrLoad_Timer"};
inline constexpr ErrorSite kBuildProject{kMainWindow, u"BuildTheProject"};
inline constexpr ErrorSite kBuildSingleFile{kMainWindow, u"Starttessarel"};
inline constexpr ErrorSite kHelpContents{kMainWindow, u"mnuReferenceManual_Click"};
inline constexpr ErrorSite kEditFiles{kMainWindow, u"mnuAddFiles_Click"};
inline constexpr ErrorSite kEditDestination{kMainWindow, u"mnuDestPath_Click"};
inline constexpr ErrorSite kEditSettings{kMainWindow, u"mnuSettings_Click"};
inline constexpr ErrorSite kAbout{kMainWindow, u"mnuHelpAbout_Click"};
inline constexpr ErrorSite kDisableBuild{kMainWindow, u"mAddFiles_DisableBuild"};
inline constexpr ErrorSite kEnableBuild{kMainWindow, u"mAddFiles_EnableBuild"};
inline constexpr ErrorSite kApplyOnTop{kMainWindow, u"Form_Activate"};
inline constexpr ErrorSite kResize{kMainWindow, u"Form_Resize"};
inline constexpr ErrorSite kPlacePreview{kMainWindow, u"PositionWebBrowser"};
inline constexpr ErrorSite kUnloadWindow{kMainWindow, u"Form_Unload"};
inline constexpr ErrorSite kIsWindowLoaded{kMainWindow, u"IsFormLoaded"};

// The progress window.
inline constexpr ErrorSite kPrepareProgress{kProgressWindow, u"Form_Load"};

// The files dialog.
inline constexpr ErrorSite kChooseFileType{kFilesDialog, u"cmbFilter_Click"};
inline constexpr ErrorSite kAddChosenFiles{kFilesDialog, u"cmdAdd_Click"};
inline constexpr ErrorSite kAddAllFiles{kFilesDialog, u"cmdAddAll_Click"};
inline constexpr ErrorSite kRemoveAllFiles{kFilesDialog, u"cmdDeleteAll_Click"};
inline constexpr ErrorSite kMoveFileUp{kFilesDialog, u"cmdMoveUp_Click"};
inline constexpr ErrorSite kMoveFileDown{kFilesDialog, u"cmdMoveDown_Click"};
inline constexpr ErrorSite kAcceptFiles{kFilesDialog, u"cmdOK_Click"};
inline constexpr ErrorSite kCancelFiles{kFilesDialog, u"cmdCancel_Click"};

// The destination dialog.
inline constexpr ErrorSite kAcceptDestination{kDestinationDialog, u"cmdOK_Click"};
inline constexpr ErrorSite kCancelDestination{kDestinationDialog, u"cmdCancel_Click"};

}  // namespace sites

}  // namespace tessarel
