#pragma once
// The sign-in step for the SDK's local recording folder.

#include <QString>

// On the first sign-in the SDK's folder becomes our own (moved or created) and the SDK records
// there from then on. Returns the folder the recordings list watches, which is always the SDK's
// own, so what the SDK writes is what the list shows; empty without a setting service.
QString prepareRecordingFolder();
