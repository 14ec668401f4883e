// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli::teacher {

// A tab that changes the copy's files. While the folder open cannot be
// changed (the installed set, a folder of someone else's) the window makes
// every such tab read-only, through this one call.
class EditableTab {
public:
    virtual ~EditableTab() = default;
    virtual void setFolderEditable(bool editable) = 0;
};

} // namespace zampli::teacher
