#include "tests/support/MsgBoxRecorder.h"

MsgBoxRecorder::MsgBoxRecorder(MsgAnswer first) : answer(first) {
    previous = SetMsgBoxHandler([this](const MsgBoxRequest& request) {
        boxes.push_back(request);
        return answer;
    });
}

MsgBoxRecorder::~MsgBoxRecorder() {
    SetMsgBoxHandler(previous);
}
