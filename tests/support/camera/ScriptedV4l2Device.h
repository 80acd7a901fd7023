#pragma once
// A scripted V4L2 device in the place of libv4l2 while it lives: no camera is needed, and the
// device does what real ones do (padded rows, emulated formats, disabled controls, decode
// errors, being unplugged and plugged in again at the same node or at another). Frames come
// only when the test makes them ready; one stream of numbered frames is shared by all nodes.
#include <QByteArray>
#include <QSize>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

struct ScriptedNode {
    std::uint32_t caps;
    QByteArray card;
    QByteArray bus = "usb-0000:00:14.0-1";
};

class ScriptedV4l2Device {
  public:
    explicit ScriptedV4l2Device(std::map<int, ScriptedNode> nodes);
    ~ScriptedV4l2Device();
    ScriptedV4l2Device(const ScriptedV4l2Device&) = delete;
    ScriptedV4l2Device& operator=(const ScriptedV4l2Device&) = delete;

    // Byte column of row y of frame number frame (the row padding is 0xEE).
    static std::uint8_t Byte(int frame, int y, std::size_t column);

    // The node goes: it no longer opens, and every call on a descriptor open on it fails
    // with ENODEV, as after a camera's cable is pulled.
    void Unplug(int node);
    // A camera appears at node, streaming at its default size of 320 × 240.
    void Plug(int node, ScriptedNode info);

    QSize size{320, 240};
    int ready = 0;                 // frames waiting in the driver
    std::deque<int> dequeueErrors; // errno of each next DQBUF; a frame ready is lost with it
    int frameNumber = 0;           // the number of the next frame delivered
    int dequeueCalls = 0;
    int openFds = 0;
    int opens = 0; // successful opens so far
    int lastOpenedNode = -1;
    int mapped = 0;
    int brightness = 50;

  private:
    struct Descriptor {
        int node;
        bool gone;
    };
    int Ioctl(int fd, unsigned long request, void* arg);
    int Dequeue(void* arg);

    std::map<int, ScriptedNode> nodes; // plugged-in nodes by number
    std::map<int, Descriptor> fds;
    int nextFd = 100;
    std::uint32_t bytesPerLine = 0;
    std::vector<std::vector<std::uint8_t>> memory;
    std::deque<std::uint32_t> queued;
};
