// The device end of the virtual mouse: serves its interface on the device
// pipe to any number of connections, one thread each, and pushes input
// reports to the connections opened for reading.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "platform/HidBus.h"
#include "platform/VirtualMouseFrames.h"
#include "platform/win32/UniqueHandle.h"
#include "tools/virtual_mouse/MouseLog.h"

namespace monitor::virtual_mouse {

class DeviceServer {
 public:
  DeviceServer(MouseLog& log, std::uint16_t featureLength);
  ~DeviceServer();
  DeviceServer(const DeviceServer&) = delete;
  DeviceServer& operator=(const DeviceServer&) = delete;

  // Creates the pipe and starts accepting; false (see GetLastError) when
  // the pipe cannot be created, for example because another mouse runs.
  bool Start();
  // Ends every connection and stops accepting.
  void Stop();

  // Sends the report to every reading connection; 0, or
  // ERROR_INVALID_PARAMETER when its length does not fit the interface.
  std::uint32_t PushInput(std::span<const std::uint8_t> report);
  // Drops every connection, as if the device was pulled out; new ones are
  // accepted as before.
  void Unplug();

 private:
  struct Connection {
    win32::UniqueHandle pipe;
    bool reading = false;   // receives pushed input reports
    bool finished = false;  // its worker is done with the pipe
    std::thread worker;
  };

  void Accept();
  // Waits for a client on the instance; false when none came or the server stops.
  bool WaitForClient(HANDLE pipe);
  void Adopt(win32::UniqueHandle pipe);
  void ReapFinished();
  void Serve(Connection& connection);
  // Answers one frame; false when it breaks the protocol.
  bool Answer(Connection& connection, bool& connected, const Frame& frame);
  bool Reply(Connection& connection, MessageKind kind, std::span<const std::uint8_t> payload);
  std::uint32_t SetFeature(std::span<const std::uint8_t> report);
  std::vector<std::uint8_t> GetFeature(std::span<const std::uint8_t> request);
  std::uint32_t WriteOutput(std::span<const std::uint8_t> report);

  MouseLog& log_;
  const HidCapabilities capabilities_;
  win32::UniqueHandle firstInstance_;
  win32::UniqueHandle stopping_;                                // manual-reset event: the acceptor ends
  std::mutex mutex_;                                            // guards what follows
  std::list<Connection> connections_;                           // stable addresses for the workers
  std::map<std::uint8_t, std::vector<std::uint8_t>> features_;  // the last feature report set, by ID
  std::thread acceptor_;
};

}  // namespace monitor::virtual_mouse
