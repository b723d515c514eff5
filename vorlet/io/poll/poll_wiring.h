// The polling dialog behind the main window's "设置" beside "Modbus主动轮询".
#pragma once

#include "common/clock.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kPollLink = 1055;

struct PollOptions
{
    const kyvo::Clock *clock = nullptr; // the refresh's clock; a steady clock when null
};

void addPollDialog(CvorletDlg::Options &options, PollOptions pollOptions = {});

} // namespace vorlet
