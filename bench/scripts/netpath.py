#!/usr/bin/env python3
"""Network sources.

1. TCP byte path: velmora-sim --tcp --unpaced serves its stream to the program (velmora-shot,
   main window offscreen with the monitor panel and both plot windows open) through a COM
   number whose file says tcp://127.0.0.1:PORT; the bytes the window handled over the run.
2. gpsd latency: a sentence written into one pseudo-terminal reaches a reader of that device
   directly; one written into another reaches a client of a gpsd started here on that device
   (as Velmora's gpsd:// source reads it). The two alternate, and the added latency is the
   difference of each pair; median and p99 of each.
Usage: netpath.py BUILD_DIR [SECONDS_TCP] [SECONDS_GPSD]
SECONDS_TCP 0 leaves the TCP run out; SECONDS_GPSD x 20 pairs are sent, one every 50 ms (the run
takes longer by the time the sentences take)."""
import functools, os, pty, select, socket, statistics, subprocess, sys, time, tty

from velmora_bench import Sandbox

print = functools.partial(print, flush=True)

build = sys.argv[1] if len(sys.argv) > 1 else "build"
tcp_seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
gpsd_seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0
box = Sandbox(build)


def tcp_run():
    sim = subprocess.Popen([box.tool("velmora-sim"), "--tcp", "0", "--baud", "57600",
                            "--unpaced", "--gps", "14"], env=box.env, stdout=subprocess.PIPE,
                           text=True)
    port = int(sim.stdout.readline().split("tcp://127.0.0.1:")[1].split()[0])
    with open(os.path.join(box.ports, "com9"), "w") as f:
        f.write(f"tcp://127.0.0.1:{port}\n")
    start = time.monotonic()
    program = box.shot(9, tcp_seconds)
    if program.wait() != 0:
        raise subprocess.CalledProcessError(program.returncode, program.args)
    elapsed = time.monotonic() - start
    sim.terminate()
    sim.wait()
    state = box.state()
    got = state["bytesHandled"]
    print(f"tcp run: window handled {got} bytes in {tcp_seconds:.0f} s of acquisition "
          f"({got / tcp_seconds:,.0f} B/s = {got / tcp_seconds / 5760:.0f} x the 57,600-baud "
          f"line; whole run with start-up {elapsed:.1f} s); caption {state['caption']}")


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def sentence(n):
    body = f"GPZDA,{n:09d}.00,08,12,2026,00,00"
    checksum = 0
    for c in body.encode():
        checksum ^= c
    return f"${body}*{checksum:02X}\r\n".encode()


def read_line(fd, sock, buf):
    while b"\n" not in buf[0]:
        select.select([sock or fd], [], [], 1.0)
        buf[0] += sock.recv(65536) if sock else os.read(fd, 65536)
    line, buf[0] = buf[0].split(b"\n", 1)
    return line


def one_latency(master, reader_fd, sock, buf, n):
    line = sentence(n)
    t0 = time.perf_counter()
    os.write(master, line)
    while not read_line(reader_fd, sock, buf).startswith(line.strip()[:20]):
        pass
    return (time.perf_counter() - t0) * 1e3


def percentiles(samples):
    samples = sorted(samples)
    return statistics.median(samples), samples[max(0, int(len(samples) * 0.99) - 1)]


def gpsd_run():
    gap = 0.05
    count = int(gpsd_seconds / gap)
    direct_master, direct_slave = pty.openpty()
    tty.setraw(direct_slave)
    gpsd_master, gpsd_slave = pty.openpty()
    device = os.ttyname(gpsd_slave)
    os.close(gpsd_slave)
    os.chmod(device, 0o666)
    port = free_port()
    gpsd = subprocess.Popen(["/usr/sbin/gpsd", "-N", "-n", "-b", "-s", "38400", "-S", str(port),
                             "-F", os.path.join(box.out, "gpsd.sock"), device],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            sock = socket.create_connection(("127.0.0.1", port))
            break
        except OSError:
            time.sleep(0.1)
    sock.sendall(b'?WATCH={"enable":true,"nmea":true}\n')
    direct_buf, gpsd_buf = [b""], [b""]
    # gpsd opens the device and finds out what it speaks first: sentences sent before are lost.
    sock.setblocking(False)
    for _ in range(100):
        os.write(gpsd_master, sentence(0))
        time.sleep(0.1)
        try:
            if b"$GPZDA" in sock.recv(65536):
                break
        except BlockingIOError:
            pass
    sock.setblocking(True)
    time.sleep(0.5)
    try:
        sock.recv(65536, socket.MSG_DONTWAIT)
    except BlockingIOError:
        pass
    direct, via, added = [], [], []
    # Alternating, so that both paths see the same load of the machine.
    for n in range(1, count + 1):
        d = one_latency(direct_master, direct_slave, None, direct_buf, n)
        v = one_latency(gpsd_master, None, sock, gpsd_buf, n)
        direct.append(d)
        via.append(v)
        added.append(v - d)
        time.sleep(gap)
    gpsd.terminate()
    gpsd.wait()
    print(f"gpsd run: {count} sentences each way, alternating, one pair every "
          f"{gap * 1000:.0f} ms ({count * gap:.0f} s)")
    for label, samples in (("direct from the device", direct), ("through gpsd", via),
                           ("added by gpsd, per pair", added)):
        median, p99 = percentiles(samples)
        print(f"  {label + ':':25s} median {median:.3f} ms, p99 {p99:.3f} ms")


if tcp_seconds > 0:
    tcp_run()
gpsd_run()
