"""Builds the package recharge: its module recharge._core by the project's
CMake (the target recharge_python, for the interpreter that runs pip), its
Python files from python/recharge; the version is the CMake project's.

    python3 -m venv --system-site-packages .venv
    .venv/bin/pip install --no-build-isolation .
"""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def project_version():
    """1.0, from project(recharge VERSION 1.0 ...) in CMakeLists.txt."""
    cmake = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(recharge VERSION ([0-9.]+)", cmake).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build),
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DBUILD_TESTING=OFF",
                        f"-DPython_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "recharge_python",
                        "--parallel", str(os.cpu_count() or 1)], check=True)
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(build / "python" / "recharge" / target.name, target)


# Beside the CMake presets' build/default, out of the sources.
BUILD = "build/pip"
os.makedirs(BUILD, exist_ok=True)
setup(
    version=project_version(),
    ext_modules=[Extension("recharge._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": BUILD}, "egg_info": {"egg_base": BUILD}},
)
