#!/usr/bin/python3
"""A drive for the Wine prefix whose size and speed are chosen, as a FUSE file system.

    fuse_drive.py MOUNTPOINT [--total BYTES] [--free BYTES] [--label TEXT] [--delay SECONDS]

The root is empty but for an optional `.windows-label` file (Wine's volume
label, UTF-8). `statfs` reports the chosen total and free bytes. With a delay,
every call from a program other than the Wine server sleeps that long first, as
a slow network share does; the Wine server itself is answered at once, because
while it waits every Wine program's messages wait too, which no slow share
causes on Windows. Runs in the foreground until unmounted
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
    pid = fuse.fuse_get_context()[2]
    try:
        with open(f"/proc/{pid}/comm") as f:
            return f.read().strip() == "wineserver"
    except OSError:
        return False


class Drive(fuse.Operations):
    def __init__(self, total, free, label, delay):
        self.total, self.free, self.delay = total, free, delay
        self.label = (label + "\n").encode() if label else None
        self.started = time.time()

    def __call__(self, op, *args):
        if self.delay > 0 and not caller_is_wineserver():
            time.sleep(self.delay)
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
        blocks, free = self.total // BLOCK, self.free // BLOCK
        return dict(f_bsize=BLOCK, f_frsize=BLOCK, f_blocks=blocks, f_bfree=free,
                    f_bavail=free, f_files=1000, f_ffree=1000, f_namemax=255)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("mountpoint")
    p.add_argument("--total", type=int, default=100 << 30)
    p.add_argument("--free", type=int, default=40 << 30)
    p.add_argument("--label", default="")
    p.add_argument("--delay", type=float, default=0.0)
    a = p.parse_args()
    fuse.FUSE(Drive(a.total, a.free, a.label, a.delay), a.mountpoint, foreground=True,
              nothreads=False, ro=True)


if __name__ == "__main__":
    main()
