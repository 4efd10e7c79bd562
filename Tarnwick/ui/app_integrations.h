#pragma once
// The Qt-backed pieces the application installs at start-up.
class TarnwickApp;

/// Installs the preferences store and the notification sink, and starts the
/// port notifier, whose counts reach `app` through TarnwickApp::setDevCount.
void installIntegrations(TarnwickApp& app);
