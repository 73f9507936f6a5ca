"""What the benchmark scripts share: CPU time of the processes of one Wine prefix."""
import os

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def processes_of_prefix(prefix, name_part):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                cmdline = f.read().decode("latin-1")
            with open("/proc/%s/environ" % entry, "rb") as f:
                environ = f.read().decode("latin-1").split("\0")
        except OSError:
            continue
        if name_part in cmdline and "WINEPREFIX=" + prefix in environ:
            found.append(int(entry))
    return found
