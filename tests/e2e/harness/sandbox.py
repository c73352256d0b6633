"""Private folders for one test: HOME, the XDG folders and the machine registry.

Nothing a test does reaches the real user's configuration, and no engine cache
survives from one test to the next."""
import os
from pathlib import Path

FLASH_CLASS_KEY = r"HKEY_CLASSES_ROOT\CLSID\{D27CDB6E-AE6D-11cf-96B8-444553540000}\InprocServer32"

# Variables that would keep the program off the accessibility bus or point it at
# the developer's own session.
_REMOVED_VARIABLES = ("NO_AT_BRIDGE", "GTK_A11Y", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY", "GDK_BACKEND")


class Sandbox:
    def __init__(self, root, config_home=None):
        self.root = Path(root)
        self.home = self.root / "home"
        self.config_home = Path(config_home) if config_home else self.root / "config"
        self.cache_home = self.root / "cache"
        self.data_home = self.root / "data"
        self.runtime_dir = self.root / "runtime"
        self.machine_registry = self.root / "machine-registry"
        self.bin_dir = self.root / "bin"
        for folder in (self.home, self.cache_home, self.data_home, self.machine_registry, self.bin_dir):
            folder.mkdir(parents=True, exist_ok=True)
        if config_home is None:
            self.config_home.mkdir(parents=True, exist_ok=True)
        self.runtime_dir.mkdir(mode=0o700, exist_ok=True)

    @property
    def app_config_dir(self):
        return self.config_home / "Quendris" / "Pelmarin"

    @property
    def settings_file(self):
        return self.app_config_dir / "AppSettings.ini"

    @property
    def logs_dir(self):
        return self.app_config_dir / "Logs"

    @property
    def user_hive(self):
        return self.config_home / "pelmarin-platform" / "HKEY_CURRENT_USER.reg"

    @property
    def classes_hive(self):
        return self.machine_registry / "HKEY_CLASSES_ROOT.reg"

    def register_flash(self, module_path="Z:\\usr\\lib\\flash\\MOXVE32_24.ocx"):
        """Writes the Flash class registration that start-up looks for."""
        escaped = module_path.replace("\\", "\\\\")
        self.classes_hive.write_text(
            "Windows Registry Editor Version 5.00\n\n"
            f"[{FLASH_CLASS_KEY}]\n"
            f"@=\"{escaped}\"\n", encoding="utf-8")

    def environment(self, display, base=None):
        env = dict(os.environ if base is None else base)
        for name in _REMOVED_VARIABLES:
            env.pop(name, None)
        env.update({
            "DISPLAY": display,
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.config_home),
            "XDG_CACHE_HOME": str(self.cache_home),
            "XDG_DATA_HOME": str(self.data_home),
            "XDG_RUNTIME_DIR": str(self.runtime_dir),
            "PELMARIN_MACHINE_REGISTRY": str(self.machine_registry),
            "PATH": f"{self.bin_dir}{os.pathsep}{env.get('PATH', '/usr/bin:/bin')}",
        })
        return env
