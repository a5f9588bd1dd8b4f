#!/usr/bin/python3
"""A Modbus TCP server that answers correctly for a while, then misbehaves once.

Written on plain sockets, without any Modbus library, so that it can send what no library would:
truncated frames, frames for another transaction, wrong function codes, wrong byte counts,
exception answers, silence, or a dropped connection. Request number --good + 1 (counted over all
connections) gets the bad answer; every other request is answered properly from a register
table where nothing happens (reads return what was written, zero elsewhere). In mode "deaf" the
server never completes a TCP handshake: its listen queue is kept full and nothing is accepted.

Prints "PORT <n>" on stdout once it listens; serves until stdin closes or it is killed.
"""
import argparse
import select
import socket
import struct
import sys

MODES = ["short", "transaction", "function", "count", "exception", "silent", "close", "garbage",
         "deaf"]


class Table:
    def __init__(self):
        self.registers = {}
        self.coils = {}

    def answer(self, function, body):
        """The proper PDU for one request PDU body."""
        if function in (3, 4):
            address, count = struct.unpack(">HH", body[:4])
            values = [self.registers.get(address + i, 0) for i in range(count)]
            return bytes([function, 2 * count]) + struct.pack(f">{count}H", *values)
        if function == 16:
            address, count = struct.unpack(">HH", body[:4])
            values = struct.unpack(f">{count}H", body[5:5 + 2 * count])
            for i, v in enumerate(values):
                self.registers[address + i] = v
            return bytes([function]) + body[:4]
        if function == 1:
            address, count = struct.unpack(">HH", body[:4])
            bits = 0
            for i in range(count):
                bits |= (1 if self.coils.get(address + i) else 0) << i
            nbytes = (count + 7) // 8
            return bytes([function, nbytes]) + bits.to_bytes(nbytes, "little")
        if function == 5:
            address, value = struct.unpack(">HH", body[:4])
            self.coils[address] = value == 0xFF00
            return bytes([function]) + body[:4]
        return bytes([function | 0x80, 1])


def frame(transaction, unit, pdu):
    return struct.pack(">HHHB", transaction, 0, len(pdu) + 1, unit) + pdu


def bad_answer(mode, transaction, unit, pdu):
    """What to send instead of the proper answer; None sends nothing, b"" closes."""
    function = pdu[0]
    if mode == "short":
        return frame(transaction, unit, pdu)[:-2] if len(pdu) > 2 else frame(transaction, unit, pdu)[:7]
    if mode == "transaction":
        return frame((transaction + 1) & 0xFFFF, unit, pdu)
    if mode == "function":
        return frame(transaction, unit, bytes([function ^ 0x01]) + pdu[1:])
    if mode == "count":
        if function in (3, 4):
            return frame(transaction, unit, bytes([function, pdu[1] + 2]) + pdu[2:] + b"\0\0")
        return frame(transaction, unit, pdu[:3] + b"\x7f\x7f")
    if mode == "exception":
        return frame(transaction, unit, bytes([function | 0x80, 2]))
    if mode == "silent":
        return None
    if mode == "close":
        return b""
    if mode == "garbage":
        return b"\xff" * 300
    raise ValueError(mode)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--mode", choices=MODES, required=True)
    p.add_argument("--good", type=int, default=1, help="requests answered properly first")
    args = p.parse_args()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    if args.mode == "deaf":
        listener.listen(0)
        port = listener.getsockname()[1]
        queue = []
        for _ in range(4):  # more than the queue holds; the rest stay half-open
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.setblocking(False)
            s.connect_ex(("127.0.0.1", port))
            queue.append(s)
        print(f"PORT {port}", flush=True)
        sys.stdin.read()
        return
    listener.listen(4)
    print(f"PORT {listener.getsockname()[1]}", flush=True)

    table = Table()
    served = 0
    clients = []
    buffers = {}
    while True:
        readable, _, _ = select.select([sys.stdin, listener] + clients, [], [])
        if sys.stdin in readable and not sys.stdin.readline():
            return  # the test closed our stdin: it is done with us
        if listener in readable:
            conn, _ = listener.accept()
            clients.append(conn)
            buffers[conn] = b""
        for conn in [c for c in readable if c in clients]:
            data = conn.recv(4096)
            if not data:
                clients.remove(conn)
                conn.close()
                continue
            buffers[conn] += data
            while len(buffers[conn]) >= 7:
                transaction, _, length, unit = struct.unpack(">HHHB", buffers[conn][:7])
                if len(buffers[conn]) < 6 + length:
                    break
                pdu = buffers[conn][7:6 + length]
                buffers[conn] = buffers[conn][6 + length:]
                served += 1
                good = table.answer(pdu[0], pdu[1:])
                if served != args.good + 1:
                    conn.sendall(frame(transaction, unit, good))
                    continue
                reply = bad_answer(args.mode, transaction, unit, good)
                if reply == b"":
                    clients.remove(conn)
                    conn.close()
                    break
                if reply is not None:
                    conn.sendall(reply)


if __name__ == "__main__":
    main()
