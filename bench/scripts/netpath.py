#!/usr/bin/env python3
"""Network sources.

1. TCP byte path: velmora-sim --tcp --unpaced serves its stream to the program (velmora-shot,
   main window offscreen with the monitor panel and both plot windows open) through a COM
   number whose file says tcp://127.0.0.1:PORT; the bytes the window handled over the run.
2. gpsd latency: a sentence written into a pseudo-terminal reaches a reader of the device
   directly, or a gpsd client through a gpsd started here on that device (as Velmora's gpsd://
   source reads it). The added latency is the difference, per sentence, median and p99.
Usage: netpath.py BUILD_DIR [SECONDS_TCP] [SECONDS_GPSD]"""
import json, os, pty, select, socket, statistics, subprocess, sys, tempfile, time, tty

build = sys.argv[1] if len(sys.argv) > 1 else "build"
tcp_seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
gpsd_seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0
tools = os.path.join(build, "tools")
home = tempfile.mkdtemp(prefix="velmora-bench-home-")
ports = os.path.join(home, ".velmora", "ports")
os.makedirs(ports)
env = dict(os.environ, HOME=home, QT_QPA_PLATFORM="offscreen")
out = tempfile.mkdtemp(prefix="velmora-bench-out-")


def tcp_run():
    sim = subprocess.Popen([os.path.join(tools, "velmora-sim"), "--tcp", "0", "--baud", "57600",
                            "--unpaced", "--gps", "14"], env=env, stdout=subprocess.PIPE,
                           text=True)
    port = int(sim.stdout.readline().split("tcp://127.0.0.1:")[1].split()[0])
    with open(os.path.join(ports, "com9"), "w") as f:
        f.write(f"tcp://127.0.0.1:{port}\n")
    start = time.monotonic()
    subprocess.run([os.path.join(tools, "velmora-shot"), "--out", out, "--port", "9", "--sky",
                    "--track", "--panel", "--seconds", str(tcp_seconds)], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.monotonic() - start
    sim.terminate()
    sim.wait()
    with open(os.path.join(out, "state.json")) as f:
        state = json.load(f)
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


def latencies(master, reader_fd, sock, count, gap):
    buf = [b""]
    samples = []
    for n in range(count):
        line = sentence(n)
        t0 = time.perf_counter()
        os.write(master, line)
        while True:
            got = read_line(reader_fd, sock, buf)
            if got.startswith(line.strip()[:20]):
                break
        samples.append((time.perf_counter() - t0) * 1e3)
        time.sleep(gap)
    return samples


def summary(samples):
    samples = sorted(samples)
    return (statistics.median(samples), samples[int(len(samples) * 0.99) - 1])


def gpsd_run():
    gap = 0.05
    count = int(gpsd_seconds / gap / 2)
    master, slave = pty.openpty()
    tty.setraw(slave)
    direct = latencies(master, slave, None, count, gap)
    device = os.ttyname(slave)
    os.close(slave)
    os.chmod(device, 0o666)
    port = free_port()
    gpsd = subprocess.Popen(["/usr/sbin/gpsd", "-N", "-n", "-b", "-s", "38400", "-S", str(port),
                             "-F", os.path.join(out, "gpsd.sock"), device],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            sock = socket.create_connection(("127.0.0.1", port))
            break
        except OSError:
            time.sleep(0.1)
    sock.sendall(b'?WATCH={"enable":true,"nmea":true}\n')
    os.write(master, sentence(0))
    time.sleep(1)
    via = latencies(master, None, sock, count, gap)
    gpsd.terminate()
    gpsd.wait()
    d, v = summary(direct), summary(via)
    print(f"gpsd run: {count} sentences each way, one every {gap * 1000:.0f} ms")
    print(f"  direct from the device: median {d[0]:.3f} ms, p99 {d[1]:.3f} ms")
    print(f"  through gpsd:           median {v[0]:.3f} ms, p99 {v[1]:.3f} ms")
    print(f"  added by gpsd:          median {v[0] - d[0]:.3f} ms, p99 {v[1] - d[1]:.3f} ms")


tcp_run()
gpsd_run()
