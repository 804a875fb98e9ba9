#pragma once

// A control with an integer position, such as the volume trackbar whose
// position is the target volume. The window toolkit's TrackBar implements it.
class PositionSource {
public:
    virtual ~PositionSource() = default;
    virtual int getPosition() = 0;
};
