#pragma once

#include "common/ipc/recording_sink.h"

// A client's sink in the end-to-end tests: the binding tests' recording sink.
namespace qm::e2e {

using NotificationRecorder = ipc::testing::RecordingSink;
using Notification = NotificationRecorder::Notification;

}  // namespace qm::e2e
