#pragma once
// The Qt-backed pieces the application installs at start-up.
class TarnwickApp;

/// Installs the platform's pieces, the preferences store and the notification
/// sink, gives the panel its model and view, and starts the port notifier; the
/// dev count reaches `app` through TarnwickApp::setDevCount.
void installIntegrations(TarnwickApp& app);
