#pragma once

// Runs the About box modally. The About box belongs to the application
// shell, which defines this; the editor opens it from its system menu.
void ShowAboutBox();
