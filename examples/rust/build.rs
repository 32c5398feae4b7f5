//! Links libtarvo as pkg-config describes it (PKG_CONFIG_PATH finds an installation outside the usual
//! places) and records its directory as the run path, so that the tests find libtarvo.so.0.
use std::process::Command;

fn main() {
    println!("cargo:rerun-if-env-changed=PKG_CONFIG_PATH");
    let output = Command::new("pkg-config")
        .args(["--libs", "tarvo"])
        .output()
        .unwrap_or_else(|error| {
            panic!("cannot run pkg-config: {error}; install pkg-config and libtarvo")
        });
    if !output.status.success() {
        panic!(
            "pkg-config cannot find tarvo (set PKG_CONFIG_PATH to the directory of tarvo.pc): {}",
            String::from_utf8_lossy(&output.stderr)
        );
    }
    for flag in String::from_utf8(output.stdout)
        .expect("pkg-config output is UTF-8")
        .split_whitespace()
    {
        if let Some(directory) = flag.strip_prefix("-L") {
            println!("cargo:rustc-link-search=native={directory}");
            println!("cargo:rustc-link-arg=-Wl,-rpath,{directory}");
        } else if let Some(library) = flag.strip_prefix("-l") {
            println!("cargo:rustc-link-lib=dylib={library}");
        }
    }
}
