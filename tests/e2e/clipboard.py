"""An image on the private display's clipboard, held by xclip as a browser or
a screenshot tool would hold it, for as long as the block runs."""

import subprocess
from pathlib import Path

from x_display import Desktop, StepFailed, stop_process, wait_until


class ImageOnClipboard:
    def __init__(self, desktop: Desktop, image: Path, mime_type: str = "image/png"):
        self._desktop = desktop
        self._image = image
        self._type = mime_type
        self._process = None

    def __enter__(self):
        # -quiet keeps xclip in the foreground, serving the clipboard until it is stopped.
        self._process = subprocess.Popen(
            ["xclip", "-quiet", "-selection", "clipboard", "-t", self._type, "-i", str(self._image)],
            env=self._desktop.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        try:
            wait_until(self._offered, f"putting {self._image.name} on the clipboard",
                       give_up=self._exited)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        stop_process(self._process)
        return False

    def _offered(self) -> bool:
        targets = subprocess.run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"],
                                 env=self._desktop.env, capture_output=True, text=True, timeout=10)
        return self._type in targets.stdout.split()

    def _exited(self):
        status = self._process.poll()
        return None if status is None else f"xclip ended with exit status {status}"


def require_xclip() -> None:
    if subprocess.run(["which", "xclip"], capture_output=True).returncode != 0:
        raise StepFailed("xclip is not installed (scripts/install-deps.sh installs it)")
