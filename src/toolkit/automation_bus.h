#pragma once
// The desktop's automation bus (the D-Bus session bus) as the engine sees
// it: blocking method calls and the members an object describes. The
// engine (src/ole) decides what to call and converts the program's values;
// the toolkit only carries messages. Nothing here includes Qt.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::bus {

// One value of a message with its complete D-Bus type: a basic type ("i",
// "s", "o" ...), a variant ("v", whose value is the one item), or a
// container ("as", "a{sv}", "(ii)"). Containers travel empty: the engine
// passes only empty ones and reads none.
struct Value {
  std::string signature;
  int64_t integer = 0;     // y b n q i u x h (a boolean is 0 or 1)
  uint64_t unsigned64 = 0; // t
  double real = 0;         // d
  std::string text;        // s o g, UTF-8
  std::vector<Value> items;  // v: the value it holds
};

struct Reply {
  bool ok = true;
  std::string errorName;  // "org.freedesktop.DBus.Error.ServiceUnknown" ...
  std::string errorText;  // the error's message, UTF-8
  std::vector<Value> values;
};

// One method or property of an object's introspection data.
struct Member {
  std::string interface;
  std::string name;
  bool property = false;
  std::vector<std::string> inputs;   // a method's in-argument types
  std::vector<std::string> outputs;  // a method's out-argument types
  std::string type;                  // a property's type
  bool readable = false;             // a property's access
  bool writable = false;
};

struct Description {
  std::vector<Member> members;
  std::vector<std::string> children;  // the names of the nodes below
};

class Bus {
 public:
  virtual ~Bus() = default;
  // Calls `member` and waits for the reply, at most `timeoutMs`, without
  // handling any window-system event meanwhile. A time-out, a lost
  // connection and the service's own errors come back as error replies.
  virtual Reply call(const std::string& service, const std::string& path, const std::string& interface,
                     const std::string& member, const std::vector<Value>& arguments, int timeoutMs) = 0;
  // The object's introspection data, read into `out`.
  virtual Reply describe(const std::string& service, const std::string& path, int timeoutMs, Description& out) = 0;
};

}  // namespace kestrel::bus
