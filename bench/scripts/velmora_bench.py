"""What the byte-path benchmarks share: a private home whose ports folder the program finds its
COM numbers in, the tools of a build, and velmora-shot run on a COM number with its final state
read back."""
import json, os, subprocess, tempfile


class Sandbox:
    def __init__(self, build):
        self.tools = os.path.join(build, "tools")
        home = tempfile.mkdtemp(prefix="velmora-bench-home-")
        self.ports = os.path.join(home, ".velmora", "ports")
        os.makedirs(self.ports)
        self.env = dict(os.environ, HOME=home, QT_QPA_PLATFORM="offscreen")
        self.out = tempfile.mkdtemp(prefix="velmora-bench-out-")

    def tool(self, name):
        return os.path.join(self.tools, name)

    def shot(self, port, seconds, baud=None):
        """Starts velmora-shot on COM port (at baud, else its default) with the monitor panel
        and both plot windows open, for the given seconds."""
        args = [self.tool("velmora-shot"), "--out", self.out, "--port", str(port)]
        if baud is not None:
            args += ["--baud", str(baud)]
        args += ["--sky", "--track", "--panel", "--seconds", str(seconds)]
        return subprocess.Popen(args, env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def state(self):
        """The state.json the last velmora-shot run wrote."""
        with open(os.path.join(self.out, "state.json")) as f:
            return json.load(f)
