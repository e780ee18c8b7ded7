#!/usr/bin/python3
"""A drive for the Wine prefix whose size and speed are chosen, as a FUSE file system.

    fuse_drive.py MOUNTPOINT [--total BYTES] [--free BYTES] [--label TEXT] [--delay SECONDS]
                  [--delay-file PATH] [--free-file PATH]

The root is empty but for an optional `.windows-label` file (Wine's volume
label, UTF-8). `statfs` reports the chosen total and free bytes. With a delay,
every call from a program other than the Wine server sleeps that long first, as
a slow network share does; the Wine server itself (and the kernel's own
releases) is answered at once, because while it waits every Wine program's
messages wait too, which no slow share causes on Windows. With a delay file,
each call takes its delay from that file when it holds a number, so a running
drive can be made slow and fast again; likewise a free file holding a number
of bytes sets the free space that `statfs` reports, as a download filling the
drive changes it. Runs in the foreground until unmounted
(`fusermount -u MOUNTPOINT`) or killed.
"""
import argparse
import errno
import stat
import time

import fusepy as fuse

BLOCK = 4096
LABEL = "/.windows-label"


def caller_is_wineserver():
    """The Wine server ("wineserver", or "wineserver64" where both sizes are
    installed), or the kernel itself (pid 0: a release after the last close,
    which no program waits for)."""
    pid = fuse.fuse_get_context()[2]
    if pid == 0:
        return True
    try:
        with open(f"/proc/{pid}/comm") as f:
            return f.read().strip().startswith("wineserver")
    except OSError:
        return False


class Drive(fuse.Operations):
    def __init__(self, total, free, label, delay, delay_file, free_file):
        self.total, self.free, self.delay = total, free, delay
        self.delay_file, self.free_file = delay_file, free_file
        self.label = (label + "\n").encode() if label else None
        self.started = time.time()

    @staticmethod
    def current(path, default, kind):
        """The number that the file at path holds now, else the default."""
        if path:
            try:
                with open(path) as f:
                    return kind(f.read().strip())
            except (OSError, ValueError):
                pass
        return default

    def __call__(self, op, *args):
        delay = self.current(self.delay_file, self.delay, float)
        if delay > 0 and not caller_is_wineserver():
            time.sleep(delay)
        return super().__call__(op, *args)

    def getattr(self, path, fh=None):
        times = dict(st_atime=self.started, st_mtime=self.started, st_ctime=self.started)
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, **times)
        if path == LABEL and self.label:
            return dict(st_mode=stat.S_IFREG | 0o444, st_nlink=1, st_size=len(self.label), **times)
        raise fuse.FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        return [".", ".."] + ([LABEL[1:]] if self.label else [])

    def read(self, path, size, offset, fh):
        if path != LABEL or not self.label:
            raise fuse.FuseOSError(errno.ENOENT)
        return self.label[offset : offset + size]

    def statfs(self, path):
        blocks = self.total // BLOCK
        free = min(self.current(self.free_file, self.free, int), self.total) // BLOCK
        return dict(f_bsize=BLOCK, f_frsize=BLOCK, f_blocks=blocks, f_bfree=free,
                    f_bavail=free, f_files=1000, f_ffree=1000, f_namemax=255)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("mountpoint")
    p.add_argument("--total", type=int, default=100 << 30)
    p.add_argument("--free", type=int, default=40 << 30)
    p.add_argument("--label", default="")
    p.add_argument("--delay", type=float, default=0.0)
    p.add_argument("--delay-file", default="")
    p.add_argument("--free-file", default="")
    a = p.parse_args()
    fuse.FUSE(Drive(a.total, a.free, a.label, a.delay, a.delay_file, a.free_file), a.mountpoint,
              foreground=True, nothreads=False, ro=True)


if __name__ == "__main__":
    main()
