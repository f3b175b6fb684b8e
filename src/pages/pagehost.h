#pragma once

#include "core/run_status.h"
#include "pages/page.h"

namespace lumetrix {

class ComboLists;
class SettingsStore;
class UserDialogs;
struct FolderSettings;

// What a page may ask of the window that hosts it. Pages know nothing else of the program:
// they announce their changes by signals, and the program connects them where it creates
// the windows.
class PageHost {
public:
    virtual ~PageHost() = default;

    // The application-wide folders and output name.
    virtual FolderSettings& folders() = 0;
    // The advanced flag of the page.
    virtual bool advancedFlag(Page page) const = 0;
    // Whether the add-on library was found at start.
    virtual bool addOnPresent() const = 0;
    // Parks the keyboard focus, so that a numeric edit commits its text.
    virtual void PremakniFocus() = 0;
    // Whether the kernel is running (RUN then reads "STOP").
    virtual bool runInProgress() const = 0;
    // Where the latest run of the kernel stands.
    virtual RunStatus runStatus() const = 0;
    // The listing-file lists and their refresh.
    virtual ComboLists& comboLists() = 0;
    virtual UserDialogs& dialogs() = 0;
    virtual SettingsStore& settings() = 0;
};

} // namespace lumetrix
