"""The build backend of pyproject.toml, run without a build environment (scripts/lib/wheels.sh).

  build_backend.py requires PYPROJECT   prints the backend's requirements, one a line
  build_backend.py HOOK OUT [BUILD]     runs HOOK (build_sdist or build_wheel) on the source tree in the
                                        current directory, writing into directory OUT, and prints the name of
                                        the file made on standard error, after what the backend said there;
                                        a wheel is built in build/BUILD/<its tag> when BUILD is given

The backend's packages must be importable (PYTHONPATH) for a hook; warnings are errors in its builds.
"""

import sys


def main(arguments: list[str]) -> None:
    if arguments[0] == "requires":
        import tomllib

        with open(arguments[1], "rb") as pyproject:
            print("\n".join(tomllib.load(pyproject)["build-system"]["requires"]))
        return
    import scikit_build_core.build as backend

    hook, out = arguments[0], arguments[1]
    build = arguments[2] if len(arguments) > 2 else ""
    settings = {"cmake.define.TARVO_WERROR": "ON"}
    if build:
        settings["build-dir"] = f"build/{build}/{{wheel_tag}}"
    name = getattr(backend, hook)(out, settings)
    print(name, file=sys.stderr)


main(sys.argv[1:])
