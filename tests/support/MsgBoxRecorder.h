#pragma once
// Captures every message box shown while it lives and answers each with a chosen button.
#include "platform/MsgBox.h"

#include <vector>

class MsgBoxRecorder {
  public:
    explicit MsgBoxRecorder(MsgAnswer answer = MsgAnswer::OK);
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    const std::vector<MsgBoxRequest>& Boxes() const { return boxes; }
    void SetAnswer(MsgAnswer next) { answer = next; }

  private:
    std::vector<MsgBoxRequest> boxes;
    MsgAnswer answer;
    MsgBoxHandler previous;
};
