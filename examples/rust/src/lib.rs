//! The exchange's request hashes and signatures through libtarvo: one function per function of the
//! C interface (tarvo.h), taking `&str` texts and returning the result text or an [`Error`] that carries
//! the status and the library's diagnostic.
use std::ffi::{c_char, CStr};
use std::fmt;
use std::ptr;

/// The statuses of tarvo.h.
#[derive(Clone, Copy, Debug, PartialEq, Eq)]
#[repr(C)]
pub enum Status {
    Ok = 0,
    /// The inputs were rejected (the Python function raises ValueError).
    Failed = 1,
    InvalidArgument = 2,
    OutOfMemory = 3,
}

/// A failed call: its status and the library's text (empty when even that could not be allocated).
#[derive(Clone, Debug, PartialEq, Eq)]
pub struct Error {
    pub status: Status,
    pub diagnostic: String,
}

impl fmt::Display for Error {
    fn fmt(&self, f: &mut fmt::Formatter<'_>) -> fmt::Result {
        write!(f, "{:?}: {}", self.status, self.diagnostic)
    }
}

impl std::error::Error for Error {}

mod ffi {
    use super::Status;
    use std::ffi::c_char;

    extern "C" {
        pub fn tarvo_version() -> *const c_char;
        pub fn tarvo_free(text: *mut c_char);
        pub fn tarvo_verify_signature(
            sig_r: *const c_char,
            sig_r_len: usize,
            sig_s: *const c_char,
            sig_s_len: usize,
            pub_key_x: *const c_char,
            pub_key_x_len: usize,
            pub_key_y: *const c_char,
            pub_key_y_len: usize,
            msg: *const c_char,
            msg_len: usize,
            result: *mut bool,
            error: *mut *mut c_char,
        ) -> Status;
        pub fn tarvo_is_on_curve(
            x: *const c_char,
            x_len: usize,
            y: *const c_char,
            y_len: usize,
            result: *mut bool,
            error: *mut *mut c_char,
        ) -> Status;
    }
}

/// Takes over a text the library allocated: copies it and releases the library's copy.
unsafe fn take_text(text: *mut c_char) -> String {
    if text.is_null() {
        return String::new();
    }
    let copy = CStr::from_ptr(text).to_string_lossy().into_owned();
    ffi::tarvo_free(text);
    copy
}

/// The value `value` when `status` is OK, else the error with the library's text.
unsafe fn finish<T>(
    status: Status,
    value: impl FnOnce() -> T,
    error: *mut c_char,
) -> Result<T, Error> {
    match status {
        Status::Ok => Ok(value()),
        _ => Err(Error {
            status,
            diagnostic: take_text(error),
        }),
    }
}

/// A `&str` as the pointer the library reads: never null, even for an empty text.
fn text(s: &str) -> *const c_char {
    if s.is_empty() {
        c"".as_ptr()
    } else {
        s.as_ptr().cast()
    }
}

// The functions with a text result: each declared as in tarvo.h (every text a pointer and its length,
// then `out` and `error`) and wrapped.
macro_rules! text_functions {
    ($($name:ident => $c:ident ($($arg:ident),+);)+) => {
        mod text_ffi {
            use super::Status;
            use std::ffi::c_char;

            extern "C" {
                $(pub fn $c($($arg: *const c_char, _: usize,)+ out: *mut *mut c_char, error: *mut *mut c_char) -> Status;)+
            }
        }

        $(
            #[doc = concat!("`", stringify!($c), "`: the text result, or the failure.")]
            pub fn $name($($arg: &str),+) -> Result<String, Error> {
                let mut out: *mut c_char = ptr::null_mut();
                let mut error: *mut c_char = ptr::null_mut();
                unsafe {
                    let status = text_ffi::$c($(text($arg), $arg.len(),)+ &mut out, &mut error);
                    finish(status, || take_text(out), error)
                }
            }
        )+
    };
}

text_functions! {
    sign_withdraw => tarvo_sign_withdraw(json, pri_key);
    sign_transfer => tarvo_sign_transfer(json, pri_key);
    sign_limit_order => tarvo_sign_limit_order(json, pri_key);
    sign_liquidate => tarvo_sign_liquidate(json, pri_key);
    sign_signed_oracle_price => tarvo_sign_signed_oracle_price(json, pri_key);
    hash_withdraw => tarvo_hash_withdraw(json);
    hash_transfer => tarvo_hash_transfer(json);
    hash_limit_order => tarvo_hash_limit_order(json);
    hash_liquidate => tarvo_hash_liquidate(json);
    hash_signed_oracle_price => tarvo_hash_signed_oracle_price(json);
    sign => tarvo_sign(private_key, msg);
    eth_sign => tarvo_eth_sign(private_key, msg);
    private_key_from_seed => tarvo_private_key_from_seed(seed);
    public_key_to_xy => tarvo_public_key_to_xy(public_key);
    private_key_to_public_key_xy => tarvo_private_key_to_public_key_xy(private_key);
}

/// Whether (sig_r, sig_s) signs msg under the packed public key pub_key_x; pub_key_y is not used.
pub fn verify_signature(
    sig_r: &str,
    sig_s: &str,
    pub_key_x: &str,
    pub_key_y: &str,
    msg: &str,
) -> Result<bool, Error> {
    let mut result = false;
    let mut error: *mut c_char = ptr::null_mut();
    unsafe {
        let status = ffi::tarvo_verify_signature(
            text(sig_r),
            sig_r.len(),
            text(sig_s),
            sig_s.len(),
            text(pub_key_x),
            pub_key_x.len(),
            text(pub_key_y),
            pub_key_y.len(),
            text(msg),
            msg.len(),
            &mut result,
            &mut error,
        );
        finish(status, || result, error)
    }
}

/// Whether y is the affine x-coordinate of the point that the packed public key x encodes.
pub fn is_on_curve(x: &str, y: &str) -> Result<bool, Error> {
    let mut result = false;
    let mut error: *mut c_char = ptr::null_mut();
    unsafe {
        let status =
            ffi::tarvo_is_on_curve(text(x), x.len(), text(y), y.len(), &mut result, &mut error);
        finish(status, || result, error)
    }
}

/// The library's version, "MAJOR.MINOR.PATCH".
pub fn version() -> &'static str {
    unsafe { CStr::from_ptr(ffi::tarvo_version()) }
        .to_str()
        .expect("the version is ASCII")
}
