#pragma once

// The two requests the desktop application sends and forgets.
namespace vx::panelnudge {

// Alert (4), sound (2) and badge (1): what the permission request asks for.
inline constexpr int kNotificationOptions = 4 | 2 | 1;

// Asks the widget host to reload the timelines of all of the application's widgets.
void reload();
// Asks the widget host to request notification permission from the user.
void askForNotifications();

}  // namespace vx::panelnudge
