#pragma once

// How assistive technology sees a dialog: its controls, and the static texts
// it paints itself, each a static text of its own. Internal to the windowing
// layer.

namespace platform_detail {

// Makes the toolkit describe every dialog this way from now on; once is
// enough, further calls do nothing.
void InstallDialogAccessibility();

} // namespace platform_detail
