#!/usr/bin/python3
"""A tiny PLC behind a Modbus TCP server, for the back end's tests.

Whenever the client writes the input registers, the "program" runs once: each output register
becomes its input register rotated left by three bits (so byte order and word order mistakes
show), or zero while the optional run coil is off. The outputs are served from the holding or the
input register area.

Prints "PORT <n>" on stdout once it listens, then serves until stdin closes or it is killed.
"""
import argparse
import asyncio
import logging
import sys

try:
    from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                    ModbusSlaveContext)
    from pymodbus.server.async_io import ModbusTcpServer
except ImportError as exc:  # the C++ test turns this line into its failure message
    print(f"NOPYMODBUS {exc}", flush=True)
    sys.exit(2)

WORDS = 2


def rotl3(word):
    return ((word << 3) | (word >> 13)) & 0xFFFF


class WatchedBlock(ModbusSequentialDataBlock):
    """A register or coil block that runs the program after every write from the client."""

    def __init__(self, size, fill, on_write):
        super().__init__(0, [fill] * size)
        self.on_write = on_write

    def setValues(self, address, values):
        super().setValues(address, values)
        self.on_write()


class Plc:
    def __init__(self, args):
        self.args = args
        self.holding = WatchedBlock(args.size, 0, self.scan)
        self.inputs = ModbusSequentialDataBlock(0, [0] * args.size)
        self.coils = WatchedBlock(args.size, False, self.scan)

    def running(self):
        if self.args.run_coil is None:
            return True
        return bool(self.coils.getValues(self.args.run_coil, 1)[0])

    def scan(self):
        a = self.args
        ins = self.holding.getValues(a.inputs, WORDS)
        outs = [rotl3(w) if self.running() else 0 for w in ins]
        area = self.holding if a.outputs_area == "holding" else self.inputs
        # Past the watch: the program's own writes must not run it again.
        ModbusSequentialDataBlock.setValues(area, a.outputs, outs)


async def serve(args):
    plc = Plc(args)
    slave = ModbusSlaveContext(hr=plc.holding, ir=plc.inputs, co=plc.coils, zero_mode=True)
    context = ModbusServerContext(slaves={args.unit: slave}, single=False)
    server = ModbusTcpServer(context, address=("127.0.0.1", args.port),
                             allow_reuse_address=True)
    task = asyncio.create_task(server.serve_forever())
    await server.serving
    port = server.server.sockets[0].getsockname()[1]
    print(f"PORT {port}", flush=True)
    loop = asyncio.get_running_loop()
    # The test owns this process: when its end of stdin closes, the peer goes too.
    await loop.run_in_executor(None, sys.stdin.read)
    await server.shutdown()
    task.cancel()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--unit", type=int, default=1)
    p.add_argument("--inputs", type=int, default=0)
    p.add_argument("--outputs", type=int, default=16)
    p.add_argument("--outputs-area", choices=["holding", "input"], default="holding")
    p.add_argument("--run-coil", type=int, default=None)
    p.add_argument("--size", type=int, default=64, help="registers and coils per area")
    args = p.parse_args()
    logging.disable(logging.CRITICAL)
    asyncio.run(serve(args))


if __name__ == "__main__":
    main()
