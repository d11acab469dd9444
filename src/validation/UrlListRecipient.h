#pragma once

namespace clipvane {

class CheckListModel;

// A check list that the validation report writes its valid URLs into (its sync commands). The main
// window's URL captured list is one; the integrated browser window's URL browser list is the other.
// Implemented by whoever owns the list; the report never reaches further into that window.
class UrlListRecipient {
public:
    virtual ~UrlListRecipient() = default;
    // The list the sync commands clear, fill and sort.
    virtual CheckListModel& recipientList() = 0;
    // After a sync changed the list: the captured list sets ListModified and shows "Modified"; the browser
    // list shows its item count in its status bar.
    virtual void markRecipientChanged() = 0;
};

} // namespace clipvane
