#!/usr/bin/env python3
"""The whole live byte path: a pseudo-terminal receiver, the serial link, the synchronous hand-off,
framing, decoders and controls, with the main window shown offscreen and both plot windows open.

1. Loss: this script writes a generated stream into a pseudo-terminal as fast as the program
   takes it, after the program has started at 921600 baud (so its purge at Start drops
   nothing), and compares the bytes written with the bytes the window handled.
2. Rate: velmora-sim --unpaced streams for a while; the simulator prints what it sent.
3. CPU: velmora-sim paced at 57600 and at 921600 baud, with its one-epoch-a-second receiver
   and playing a recording back-to-back, which fills the line (5,760 or 92,160 bytes a
   second); the program's CPU time (both threads) over the run.
Usage: bytepath.py BUILD_DIR [SECONDS]"""
import os, pty, select, subprocess, sys, time

from velmora_bench import Sandbox

build = sys.argv[1] if len(sys.argv) > 1 else "build"
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
box = Sandbox(build)


def handled():
    state = box.state()
    return state["bytesHandled"], state["caption"]


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def loss_run():
    stream = subprocess.run([box.tool("velmora-sim"), "--write", "/dev/stdout",
                             "--epochs", "20000", "--gps", "14"], capture_output=True).stdout
    stream = stream.replace(b"\r\r\n", b"\r\n")
    master, slave = pty.openpty()
    os.symlink(os.ttyname(slave), os.path.join(box.ports, "com8"))
    program = box.shot(8, seconds + 4, 921600)
    time.sleep(2)
    os.set_blocking(master, False)
    written, start = 0, time.monotonic()
    while time.monotonic() - start < seconds and written < len(stream):
        select.select([], [master], [], 0.1)
        try:
            written += os.write(master, stream[written:written + 4096])
        except BlockingIOError:
            pass
        try:
            os.read(master, 65536)
        except (BlockingIOError, OSError):
            pass
    elapsed = time.monotonic() - start
    program.wait()
    got, caption = handled()
    os.close(master)
    os.close(slave)
    os.unlink(os.path.join(box.ports, "com8"))
    print(f"loss run: wrote {written} bytes in {elapsed:.2f} s ({written / elapsed:,.0f} B/s); "
          f"window handled {got}; lost {written - got}; caption {caption}")


def sim_run(label, baud, extra):
    args = [box.tool("velmora-sim"), "--port", "9", "--baud", str(baud)] + extra
    sim = subprocess.Popen(args, env=box.env, stdout=subprocess.PIPE, text=True)
    sim.stdout.readline()
    program = box.shot(9, seconds + 2, baud)
    time.sleep(1)
    cpu0, t0 = cpu_seconds(program.pid), time.monotonic()
    time.sleep(seconds)
    cpu1, t1 = cpu_seconds(program.pid), time.monotonic()
    sim.terminate()
    summary = sim.stdout.read().strip()
    program.wait()
    got, caption = handled()
    print(f"sim {label}: {summary}; window handled {got} bytes; caption {caption}; "
          f"program CPU {100 * (cpu1 - cpu0) / (t1 - t0):.1f} % of one core")


recording = os.path.join(box.out, "drive.txt")
subprocess.run([box.tool("velmora-sim"), "--write", recording, "--epochs", "3000",
                "--gps", "14"], check=True, stdout=subprocess.DEVNULL)
loss_run()
sim_run("unpaced", 921600, ["--unpaced", "--gps", "14"])
sim_run("paced 57600, one epoch a second", 57600, ["--gps", "14"])
sim_run("paced 57600, line full", 57600, ["--file", recording])
sim_run("paced 921600, one epoch a second", 921600, ["--gps", "14"])
sim_run("paced 921600, line full", 921600, ["--file", recording])
