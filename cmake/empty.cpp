// SPDX-License-Identifier: Apache-2.0
// Keeps a library valid while its folder has no sources yet.
