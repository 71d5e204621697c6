#!/bin/sh
# Byte-code servers and clients in two processes on loopback: a scripted
# conversation that checks lines, binary data, peeking, the readiness tests,
# read line and its transfer count, the receive buffer's limit, a port in
# use and sending to a closed peer; then the echo examples.
#   socket_tests.sh KESTREL SOURCE_DIR
kestrel=$1
source_dir=$2
tmp=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
cd "$tmp" || exit 1
failures=0
passes=0
check() {  # check NAME CONDITION...
  name=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    echo "FAIL: $name"
    failures=$((failures + 1))
  fi
}
same() {  # same EXPECTED ACTUAL: files equal, or the difference shown
  cmp -s "$1" "$2" && return 0
  diff "$1" "$2" | head -30
  return 1
}

# start_server NAME PROGRAM [ARGS...]: runs PROGRAM PORT ARGS on the first
# free port from a random one on, waiting for its first line; sets $port.
start_server() {
  name=$1
  program=$2
  shift 2
  port=$((20000 + ($$ * 7 + $(date +%s)) % 30000))
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    "$kestrel" run "$program" "$port" "$@" >"$name.out" 2>"$name.err" &
    server_pid=$!
    waited=0
    while [ ! -s "$name.out" ] && kill -0 "$server_pid" 2>/dev/null && [ $waited -lt 100 ]; do
      sleep 0.05
      waited=$((waited + 1))
    done
    if grep -q "in use" "$name.out"; then
      wait "$server_pid"
      server_pid=""
      port=$((port + 1))
      continue
    fi
    [ -s "$name.out" ] && return 0
    cat "$name.err"
    return 1
  done
  return 1
}

# finish_server: waits (at most 20 s) for the server to end; its status in $status.
finish_server() {
  waited=0
  while kill -0 "$server_pid" 2>/dev/null && [ $waited -lt 400 ]; do
    sleep 0.05
    waited=$((waited + 1))
  done
  kill "$server_pid" 2>/dev/null
  wait "$server_pid"
  status=$?
  server_pid=""
}

# ---- A scripted conversation between two byte-code programs.
cat >server.kasm <<'KASM'
    dim socket:0
    dim int:0
    dim int:1
    dim int:2
    dim int:3
    dim int:4
    dim int:5
    dim str:0
    dim str:1
    let int:0 = val(param(1))
    let int:1 = socket:0.OpenServer(int:0)
    ifnot int:1 = -1 goto listening
    stdout "in use"
    endprogram
listening:
    stdout "listening"
    // A second server on the same port is refused; the handle field keeps the first.
    stdout "second server: " + str(socket:0.OpenServer(int:0))
    stdout "handle kept: " + str(socket:0.Handle = int:1)
    let int:2 = socket:0.Accept(int:1)
    // The client sends nothing before it hears "go".
    stdout "ready before data: " + str(socket:0.Ready(int:2))
    set socket:0.WriteLine = int:2, "go"
wait_line:
    ifnot socket:0.Ready(int:2) = 0 goto line_came
    sleep 0.01
    goto wait_line
line_came:
    stdout "ready with data: " + str(socket:0.Ready(int:2))
    let str:0 = socket:0.Peek(int:2, 100)
    // The peek leaves the count of the last write ("go" and its line feed).
    stdout "peeked " + str(len(str:0)) + " bytes, transfer count " + str(socket:0.Transferred)
    stdout "still ready after the peek: " + str(socket:0.ReadyPair(int:2, int:1))
    let str:0 = socket:0.ReadLine(int:2)
    stdout "line: [" + left(str:0, 3) + "] ends with " + str(asc(right(str:0, 1))) + ", transfer count " + str(socket:0.Transferred)

    // Binary data: every byte value, received however it is split.
    set socket:0.WriteLine = int:2, "binary"
    for int:3 = 0 to 255 step 1 else built
build:
    let str:1 = str:1 + chr(int:3)
    next build
built:
    let str:0 = ""
more_binary:
    let str:0 = str:0 + socket:0.Receive(int:2, 256 - len(str:0))
    ifnot socket:0.Transferred > 0 goto binary_end
    ifnot len(str:0) < 256 goto binary_end
    goto more_binary
binary_end:
    stdout "binary received intact: " + str(str:0 = str:1)
    set socket:0.Send = int:2, str:0, 256
    stdout "binary sent: " + str(socket:0.Transferred)

    // A receive takes at most the 32768 bytes of the receive buffer.
    let int:4 = 0
    let int:5 = 0
more_big:
    let str:0 = socket:0.Receive(int:2, 100000)
    ifnot socket:0.Transferred > 0 goto big_end
    let int:4 = int:4 + len(str:0)
    ifnot len(str:0) > int:5 goto big_counted
    let int:5 = len(str:0)
big_counted:
    ifnot int:4 < 40001 goto big_end
    goto more_big
big_end:
    stdout "big line: " + str(int:4) + " bytes, no piece above the buffer: " + str(int:5 <= 32768)
    set socket:0.WriteLine = int:2, "big ok"
    let str:0 = socket:0.ReadLine(int:2)
    stdout "empty line: [" + str:0 + "], transfer count " + str(socket:0.Transferred)

    // The server closes first; afterwards the handle is no socket any more.
    set socket:0.WriteLine = int:2, "bye"
    set socket:0.Close = int:2
    stdout "ready after close: " + str(socket:0.Ready(int:2))
    set socket:0.Close = int:1
KASM

cat >client.kasm <<'KASM'
    dim socket:0
    dim int:0
    dim int:1
    dim int:2
    dim int:3
    dim str:0
    dim str:1
    // A name that does not resolve means this machine.
    let int:0 = socket:0.Connect("no-such-host.invalid", val(param(1)))
    stdout "connected: " + str(int:0 <> -1) + ", handle field: " + str(socket:0.Handle = int:0)
    stdout "peer: " + socket:0.PeerAddress(int:0)
    stdout "heard: " + socket:0.ReadLine(int:0)
    set socket:0.Send = int:0, "abc\r\n", 5
    stdout "sent: " + str(socket:0.Transferred)
    stdout "heard: " + socket:0.ReadLine(int:0)
    for int:1 = 0 to 255 step 1 else built
build:
    let str:1 = str:1 + chr(int:1)
    next build
built:
    // A length beyond the text sends the text.
    set socket:0.Send = int:0, str:1, 1000
    stdout "binary sent: " + str(socket:0.Transferred)
more:
    let str:0 = str:0 + socket:0.Receive(int:0, 256 - len(str:0))
    ifnot socket:0.Transferred > 0 goto received
    ifnot len(str:0) < 256 goto received
    goto more
received:
    stdout "binary echoed intact: " + str(str:0 = str:1)
    stdout "big line sent: " + str(socket:0.WriteLine(int:0, string(40000, "x")))
    stdout "heard: " + socket:0.ReadLine(int:0)
    stdout "empty line sent: " + str(socket:0.WriteLine(int:0, ""))
    stdout "heard: " + socket:0.ReadLine(int:0)
    let str:0 = socket:0.ReadLine(int:0)
    stdout "after the close: [" + str:0 + "], transfer count " + str(socket:0.Transferred) + ", ready " + str(socket:0.Ready(int:0))
    // Sending to a closed peer fails with -1 (it never ends the program).
    for int:2 = 1 to 100 step 1 else gave_up
resend:
    let int:3 = socket:0.WriteLine(int:0, "anyone?")
    ifnot int:3 = -1 goto again
    exitfor gave_up
again:
    sleep 0.01
    next resend
gave_up:
    stdout "send to a closed peer: " + str(int:3)
    set socket:0.Close = int:0
    stdout "a port nobody listens on: " + str(socket:0.Connect("127.0.0.1", 1)) + ", handle field " + str(socket:0.Handle)
KASM

cat >server.expected <<'EOF'
listening
second server: -1
handle kept: -1
ready before data: 0
ready with data: 1
peeked 5 bytes, transfer count 3
still ready after the peek: 1
line: [abc] ends with 13, transfer count 4
binary received intact: -1
binary sent: 256
big line: 40001 bytes, no piece above the buffer: -1
empty line: [], transfer count 0
ready after close: -1
EOF
cat >client.expected <<'EOF'
connected: -1, handle field: -1
peer: 127.0.0.1
heard: go
sent: 5
heard: binary
binary sent: 256
binary echoed intact: -1
big line sent: 40001
heard: big ok
empty line sent: 1
heard: bye
after the close: [], transfer count -1, ready 1
send to a closed peer: -1
a port nobody listens on: -1, handle field -1
EOF

if start_server server server.kasm; then
  timeout 30 "$kestrel" run client.kasm "$port" >client.out 2>client.err
  check "conversation: the client ends well" [ $? -eq 0 ]
  finish_server
  check "conversation: the server ends well" [ "$status" -eq 0 ]
  check "conversation: the server's side" same server.expected server.out
  check "conversation: the client's side" same client.expected client.out
else
  check "conversation: the server starts" false
fi

# ---- The echo examples: the client's lines come back; the server ends
# after its one client.
if start_server echo "$source_dir/examples/echo_server.kasm" 1; then
  timeout 30 "$kestrel" run "$source_dir/examples/echo_client.kasm" 127.0.0.1 "$port" "hello" "two words" "" \
    >echo_client.out 2>echo_client.err
  finish_server
  printf 'connected to 127.0.0.1\necho: hello\necho: two words\necho: \n' >echo_client.expected
  printf 'echo server on port %s\nclient from 127.0.0.1\nechoed 17 bytes\n' "$port" >echo.expected
  check "echo: the client's lines come back" same echo_client.expected echo_client.out
  check "echo: the server reports and ends" same echo.expected echo.out
  check "echo: the server's status" [ "$status" -eq 0 ]
else
  check "echo: the server starts" false
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
